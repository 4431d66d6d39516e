# The suite's two build flavors, for the scripts that build and run it (sourced, not run).
# win32 is the release: the programs a user copies to a Windows PC. win64 is the same sources as
# 64-bit programs, for hosts whose kernel cannot run Wine's 32-bit loader.
# Each flavor builds in a folder of its own under build/ (CORVANA_BUILD chooses another root).
corvana_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The build folder of flavor $1.
flavor_dir() { echo "${CORVANA_BUILD:-$corvana_root/build}/$1"; }

# Configures flavor $1 once and builds the targets named after it (all when none is named).
build_flavor() {
  local flavor=$1 toolchain
  shift
  case "$flavor" in
    win32) toolchain=mingw-i686.cmake ;;
    win64) toolchain=mingw-x86_64.cmake ;;
    *) echo "unknown flavor '$flavor' (win32 or win64)" >&2; return 2 ;;
  esac
  local dir
  dir=$(flavor_dir "$flavor")
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$corvana_root" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$corvana_root/cmake/$toolchain" >/dev/null
  fi
  local targets=() target
  for target in "$@"; do targets+=(--target "$target"); done
  cmake --build "$dir" "${targets[@]}"
}

# The flavor a real run uses here: the release where the host runs it, otherwise the 64-bit one.
# Says which and why on standard error.
run_flavor() {
  case " $("$corvana_root/scripts/host-flavors") " in
    *" win32 "*)
      echo "Flavor: 32-bit programs (win32), the release build: this host runs them under Wine" >&2
      echo win32 ;;
    *)
      echo "Flavor: 64-bit programs (win64): this host's kernel does not execute 32-bit programs," \
        "so Wine's 32-bit loader cannot start here" >&2
      echo win64 ;;
  esac
}
