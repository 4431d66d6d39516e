#pragma once
// A hardware Direct3D 10 device and the platform's shader compiler, for the tests that build the
// scene's effect and draw with it.
#include <gtest/gtest.h>

#include <d3d10.h>

#include <string>

#include "common/platform/com_holders.h"
#include "gputest/effect/shader_compiler.h"

// Call under ASSERT_NO_FATAL_FAILURE: a failure ends the test.
inline void CreateTestDeviceAndCompiler(ComPtr<ID3D10Device>* device, ShaderCompiler* compiler) {
  ASSERT_EQ(D3D10CreateDevice(nullptr, D3D10_DRIVER_TYPE_HARDWARE, nullptr, 0, D3D10_SDK_VERSION,
                              device->out()),
            S_OK);
  std::string failure;
  ASSERT_TRUE(LoadShaderCompiler(compiler, &failure)) << failure;
}
