#!/usr/bin/env python3
"""Writes the graphics test's meshes and textures into a folder (the build's bin folder).

The scanner room, its bank of monitors, the turning arm and the reflecting sphere, in the layout
that mesh_file_layout.md beside this script describes, with their textures as DDS files. The
meshes are kept small: every frame draws each of them many times on a software rasteriser.
"""
import math
import os
import struct
import sys

VERSION = 1
NO_INDEX = 0xFFFFFFFF
TRIANGLE_LIST = 0


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def normalized(a):
    length = math.sqrt(dot(a, a))
    return (a[0] / length, a[1] / length, a[2] / length)


class Part:
    """The vertices and triangles of one subset, indices counted from the part's first vertex."""

    def __init__(self, material):
        self.material = material
        self.vertices = []  # (position, normal, texture coordinate)
        self.indices = []

    def vertex(self, position, normal, tex):
        # Rounded, so corners meant to meet (a sphere's seam and poles) have the same bits, and
        # without negative zeros for the same reason.
        position = tuple(round(p, 5) + 0.0 for p in position)
        normal = tuple(round(n, 5) + 0.0 for n in normal)
        self.vertices.append((position, normal, tex))
        return len(self.vertices) - 1

    def triangle(self, a, b, c):
        # Front faces run clockwise as seen: the corners' cross product points along the normal.
        pa, pb, pc = (self.vertices[i][0] for i in (a, b, c))
        facing = self.vertices[a][1]
        if dot(cross(sub(pb, pa), sub(pc, pa)), facing) < 0:
            b, c = c, b
        self.indices += [a, b, c]

    def grid(self, origin, across, up, normal, columns, rows, tex_scale=(1.0, 1.0)):
        """A flat quad from origin spanning across and up, cut into columns x rows cells."""
        first = len(self.vertices)
        for row in range(rows + 1):
            for column in range(columns + 1):
                s, t = column / columns, row / rows
                position = tuple(origin[i] + across[i] * s + up[i] * t for i in range(3))
                self.vertex(position, normal, (s * tex_scale[0], (1 - t) * tex_scale[1]))
        for row in range(rows):
            for column in range(columns):
                corner = first + row * (columns + 1) + column
                above = corner + columns + 1
                self.triangle(corner, corner + 1, above + 1)
                self.triangle(corner, above + 1, above)

    def box(self, low, high, faces="xXyYzZ"):
        """An axis-aligned box facing outward; faces picks its sides (x: low x, X: high x...)."""
        (x0, y0, z0), (x1, y1, z1) = low, high
        sides = {
            "x": ((x0, y0, z1), (0, 0, z0 - z1), (0, y1 - y0, 0), (-1, 0, 0)),
            "X": ((x1, y0, z0), (0, 0, z1 - z0), (0, y1 - y0, 0), (1, 0, 0)),
            "y": ((x0, y0, z1), (x1 - x0, 0, 0), (0, 0, z0 - z1), (0, -1, 0)),
            "Y": ((x0, y1, z0), (x1 - x0, 0, 0), (0, 0, z1 - z0), (0, 1, 0)),
            "z": ((x0, y0, z0), (x1 - x0, 0, 0), (0, y1 - y0, 0), (0, 0, -1)),
            "Z": ((x1, y0, z1), (x0 - x1, 0, 0), (0, y1 - y0, 0), (0, 0, 1)),
        }
        for face in faces:
            origin, across, up, normal = sides[face]
            self.grid(origin, across, up, normal, 1, 1)

    def cylinder(self, centre, radius, height, segments, caps=True):
        """A cylinder standing on the Y axis through centre, from centre up by height."""
        cx, cy, cz = centre
        for i in range(segments + 1):
            angle = 2 * math.pi * i / segments
            normal = (math.cos(angle), 0.0, math.sin(angle))
            for level in (0, 1):
                position = (cx + radius * normal[0], cy + height * level, cz + radius * normal[2])
                self.vertex(position, normal, (i / segments, 1.0 - level))
        first = len(self.vertices) - 2 * (segments + 1)
        for i in range(segments):
            a = first + 2 * i
            self.triangle(a, a + 2, a + 3)
            self.triangle(a, a + 3, a + 1)
        if caps:
            for level, facing in ((0, -1.0), (1, 1.0)):
                y = cy + height * level
                hub = self.vertex((cx, y, cz), (0, facing, 0), (0.5, 0.5))
                rim = []
                for i in range(segments):
                    angle = 2 * math.pi * i / segments
                    c, s = math.cos(angle), math.sin(angle)
                    rim.append(self.vertex((cx + radius * c, y, cz + radius * s), (0, facing, 0),
                                           (0.5 + 0.5 * c, 0.5 + 0.5 * s)))
                for i in range(segments):
                    self.triangle(hub, rim[i], rim[(i + 1) % segments])

    def sphere(self, radius, slices, stacks):
        for stack in range(stacks + 1):
            polar = math.pi * stack / stacks
            for segment in range(slices + 1):
                azimuth = 2 * math.pi * segment / slices
                normal = (math.sin(polar) * math.cos(azimuth), math.cos(polar),
                          math.sin(polar) * math.sin(azimuth))
                self.vertex(tuple(radius * n for n in normal), normal,
                            (segment / slices, stack / stacks))
        for stack in range(stacks):
            for segment in range(slices):
                a = stack * (slices + 1) + segment
                below = a + slices + 1
                if stack != 0:
                    self.triangle(a, a + 1, below + 1)
                if stack != stacks - 1:
                    self.triangle(a, below + 1, below)


class Material:
    def __init__(self, name, texture, diffuse, specular):
        self.name, self.texture, self.diffuse, self.specular = name, texture, diffuse, specular


def fixed_name(text, size):
    data = text.encode("ascii")
    if len(data) >= size:
        raise ValueError("name too long: " + text)
    return data + b"\0" * (size - len(data))


def mesh_file(mesh_name, parts, materials):
    """One mesh of the parts (one subset each), one vertex and one index buffer, two frames."""
    vertex_data, index_values, subsets = bytearray(), [], []
    vertex_start = 0
    for part in parts:
        for position, normal, tex in part.vertices:
            vertex_data += struct.pack("<8f", *position, *normal, *tex)
        subsets.append((part.material, TRIANGLE_LIST, len(index_values), len(part.indices),
                        vertex_start, len(part.vertices)))
        index_values += part.indices
        vertex_start += len(part.vertices)
    wide = max(len(part.vertices) for part in parts) > 0xFFFF
    index_data = struct.pack("<%d%s" % (len(index_values), "I" if wide else "H"), *index_values)

    header_size = 64
    offsets = {}
    tables = {}
    tables["meshes"] = fixed_name(mesh_name, 32) + struct.pack("<4I", 0, 0, len(subsets), 0)
    tables["subsets"] = b"".join(struct.pack("<6I", *subset) for subset in subsets)
    tables["frames"] = (fixed_name("Root", 32) + struct.pack("<2I", NO_INDEX, NO_INDEX) +
                        fixed_name(mesh_name, 32) + struct.pack("<2I", 0, 0))
    tables["materials"] = b"".join(
        fixed_name(m.name, 32) + fixed_name(m.texture, 64) + struct.pack("<8f", *m.diffuse,
                                                                          *m.specular)
        for m in materials)
    tables["subset list"] = struct.pack("<%dI" % len(subsets), *range(len(subsets)))

    # Tables first, then the buffers' data, each on a 4-byte boundary.
    body = bytearray()
    for name in ("meshes", "subsets", "frames", "materials", "subset list"):
        offsets[name] = header_size + len(body)
        body += tables[name]
    vertex_table_offset = header_size + len(body)
    body += b"\0" * 16
    index_table_offset = header_size + len(body)
    body += b"\0" * 16
    vertex_data_offset = header_size + len(body)
    body += vertex_data
    index_data_offset = header_size + len(body)
    body += index_data
    body += b"\0" * (-len(body) % 4)
    vertex_table = struct.pack("<4I", vertex_start, 32, vertex_data_offset, len(vertex_data))
    index_table = struct.pack("<4I", len(index_values), 1 if wide else 0, index_data_offset,
                              len(index_data))
    body[vertex_table_offset - header_size:vertex_table_offset - header_size + 16] = vertex_table
    body[index_table_offset - header_size:index_table_offset - header_size + 16] = index_table

    header = b"ZMSH" + struct.pack(
        "<15I", VERSION, 1, vertex_table_offset, 1, index_table_offset, 1, offsets["meshes"],
        len(subsets), offsets["subsets"], 2, offsets["frames"], len(materials),
        offsets["materials"], len(subsets), offsets["subset list"])
    return header + bytes(body)


def dds(width, height, texel):
    """An uncompressed 32-bit DDS image; texel(x, y) gives (red, green, blue, alpha)."""
    header = struct.pack("<4s7I44x8I4I4x", b"DDS ", 124, 0x100F, height, width, width * 4, 0, 1,
                         32, 0x41, 0, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000,
                         0x1000, 0, 0, 0)
    pixels = bytearray()
    for y in range(height):
        for x in range(width):
            r, g, b, a = texel(x, y)
            pixels += bytes((b, g, r, a))
    return header + bytes(pixels)


def clamp(value):
    return max(0, min(255, int(value)))


TEXTURES = {
    # Wall panels with dark seams.
    "Scanner\\room_wall.dds": lambda x, y: (
        (70, 80, 96, 255) if x % 32 < 2 or y % 16 < 2 else
        (clamp(150 + (x * 7 + y * 3) % 11), clamp(160 + (x * 5) % 9), 176, 255)),
    # Floor tiles in a checker.
    "Scanner\\room_floor.dds": lambda x, y: (
        (60, 64, 70, 255) if (x // 16 + y // 16) % 2 else (120, 124, 132, 255)),
    "Scanner\\monitor_case.dds": lambda x, y: (clamp(40 + (x + y) % 7), 42, 48, 255),
    # A green trace on dark scan lines.
    "Scanner\\monitor_screen.dds": lambda x, y: (
        (40, 255, 90, 255) if abs(y - 32 - 16 * math.sin(x / 64 * 2 * math.pi)) < 2 else
        (8, clamp(30 + 20 * (y % 4 == 0)), 16, 255)),
    # Brushed metal.
    "Scanner\\arm_metal.dds": lambda x, y: (clamp(170 + (x * 13 + y) % 23), clamp(172 + (x * 13 + y) % 23),
                                            clamp(180 + (x * 13 + y) % 23), 255),
    "misc\\reflect_sphere.dds": lambda x, y: (200, 205, 215, 255),
}


def room():
    wall = Material("Walls", "room_wall.dds", (1, 1, 1, 1), (0.2, 0.2, 0.2, 1))
    floor = Material("Floor", "room_floor.dds", (1, 1, 1, 1), (0.1, 0.1, 0.1, 1))
    walls, ground = Part(0), Part(1)
    low, high = (-4.0, 0.0, -4.0), (4.0, 3.5, 4.0)
    (x0, y0, z0), (x1, y1, z1) = low, high
    # Facing inward; walls and ceiling cut into cells so the rasteriser's work is spread.
    walls.grid((x0, y0, z0), (0, 0, z1 - z0), (0, y1 - y0, 0), (1, 0, 0), 8, 4, (4, 2))
    walls.grid((x1, y0, z1), (0, 0, z0 - z1), (0, y1 - y0, 0), (-1, 0, 0), 8, 4, (4, 2))
    walls.grid((x1, y0, z0), (x0 - x1, 0, 0), (0, y1 - y0, 0), (0, 0, 1), 8, 4, (4, 2))
    walls.grid((x0, y0, z1), (x1 - x0, 0, 0), (0, y1 - y0, 0), (0, 0, -1), 8, 4, (4, 2))
    walls.grid((x0, y1, z0), (x1 - x0, 0, 0), (0, 0, z1 - z0), (0, -1, 0), 8, 8, (4, 4))
    ground.grid((x0, y0, z1), (x1 - x0, 0, 0), (0, 0, z0 - z1), (0, 1, 0), 8, 8, (8, 8))
    return mesh_file("ScannerRoom", [walls, ground], [wall, floor])


def monitors():
    case = Material("MonitorCase", "monitor_case.dds", (1, 1, 1, 1), (0.3, 0.3, 0.3, 1))
    screen = Material("MonitorScreen", "monitor_screen.dds", (1, 1, 1, 1), (0.8, 0.8, 0.8, 1))
    cases, screens = Part(0), Part(1)
    # A desk along the back wall and two rows of four monitors on it, screens facing the room.
    cases.box((-3.6, 0.0, -3.9), (3.6, 0.8, -2.9))
    for row in range(2):
        for column in range(4):
            x = -2.7 + 1.8 * column
            y = 0.9 + 0.9 * row
            cases.box((x - 0.8, y, -3.8), (x + 0.8, y + 0.8, -3.5), faces="xXyYz")
            screens.grid((x - 0.72, y + 0.08, -3.5), (1.44, 0, 0), (0, 0.64, 0), (0, 0, 1), 2, 1)
    return mesh_file("ScannerMonitors", [cases, screens], [case, screen])


def arm():
    metal = Material("ArmMetal", "arm_metal.dds", (1, 1, 1, 1), (0.9, 0.9, 0.9, 1))
    part = Part(0)
    # A column down from the ceiling, a beam out to one side and the scanner head below its end.
    part.cylinder((0.0, 2.6, 0.0), 0.12, 0.9, 16)
    part.box((-0.1, 2.5, -0.1), (2.4, 2.7, 0.1))
    part.cylinder((2.2, 1.9, 0.0), 0.25, 0.6, 16)
    return mesh_file("ScannerArm", [part], [metal])


def reflect_sphere():
    mirror = Material("Mirror", "reflect_sphere.dds", (0.8, 0.8, 0.85, 1), (1, 1, 1, 1))
    part = Part(0)
    part.sphere(1.0, 32, 16)
    return mesh_file("ReflectSphere", [part], [mirror])


MESHES = {
    "Scanner\\ScannerRoom.sdkmesh": room,
    "Scanner\\ScannerMonitors.sdkmesh": monitors,
    "Scanner\\ScannerArm.sdkmesh": arm,
    "misc\\ReflectSphere.sdkmesh": reflect_sphere,
}


def write(folder, name, data):
    path = os.path.join(folder, *name.split("\\"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path + ".part", "wb") as out:
        out.write(data)
    os.replace(path + ".part", path)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_media.py OUTPUT_FOLDER")
    folder = sys.argv[1]
    for name, make in MESHES.items():
        write(folder, name, make())
    for name, texel in TEXTURES.items():
        write(folder, name, dds(64, 64, texel))


if __name__ == "__main__":
    main()
