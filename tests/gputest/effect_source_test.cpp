// Reading the effect layer's syntax out of an effect file, without a device.
#include <gtest/gtest.h>

#include <string>

#include "gputest/effect/effect_source.h"

namespace {

const char* const twoPassFile =
    "cbuffer cb { matrix m; };\n"                                        // 1
    "SamplerState samWrap { Filter = MIN_MAG_MIP_POINT; AddressU = Wrap; };\n"
    "DepthStencilState NoDepth { DepthEnable = FALSE; DepthWriteMask = ZERO; };\n"
    "RasterizerState Wire { FillMode = WIREFRAME; CullMode = NONE; };\n"
    "float4 VS( float4 p : POSITION ) : SV_POSITION { return mul( p, m ); }\n"  // 5
    "// technique10 InAComment { }\n"
    "technique10 Draw\n"
    "{\n"
    "    pass First\n"
    "    {\n"  // 10
    "        SetVertexShader( CompileShader( vs_4_0, VS() ) );\n"
    "        SetGeometryShader( NULL );\n"
    "        SetPixelShader( NULL );\n"
    "        SetDepthStencilState( NoDepth, 3 );\n"
    "        SetRasterizerState( Wire );\n"  // 15
    "    }\n"
    "    pass Second { SetVertexShader( CompileShader( vs_4_0, VS() ) ); "
    "RouteInstancesToCubeFaces(); }\n"
    "}\n"
    "float4 After() : SV_Target { return 1; }\n";

TEST(EffectSource, ReadsTechniquesPassesAndStatesAndLeavesTheCompilerOnlyShaderCode) {
  EffectSource source;
  std::string failure;
  ASSERT_TRUE(ParseEffectSource(twoPassFile, "two.fx", &source, &failure)) << failure;

  ASSERT_EQ(source.techniques.size(), 1u);
  const TechniqueSource& technique = source.techniques[0];
  EXPECT_EQ(technique.name, "Draw");
  ASSERT_EQ(technique.passes.size(), 2u);
  const PassSource& first = technique.passes[0];
  EXPECT_EQ(first.name, "First");
  EXPECT_EQ(first.vertexShader.entry, "VS");
  EXPECT_EQ(first.vertexShader.profile, "vs_4_0");
  EXPECT_EQ(first.pixelShader.entry, "");
  EXPECT_EQ(first.depthStencilState, "NoDepth");
  EXPECT_EQ(first.stencilRef, 3u);
  EXPECT_EQ(first.rasterizerState, "Wire");
  EXPECT_FALSE(first.instancesToCubeFaces);
  EXPECT_TRUE(technique.passes[1].instancesToCubeFaces);

  ASSERT_EQ(source.depthStencilStates.size(), 1u);
  EXPECT_EQ(source.depthStencilStates[0].desc.DepthEnable, FALSE);
  EXPECT_EQ(source.depthStencilStates[0].desc.DepthWriteMask, D3D10_DEPTH_WRITE_MASK_ZERO);
  EXPECT_EQ(source.depthStencilStates[0].desc.DepthFunc, D3D10_COMPARISON_LESS);  // unnamed: default
  ASSERT_EQ(source.rasterizerStates.size(), 1u);
  EXPECT_EQ(source.rasterizerStates[0].desc.FillMode, D3D10_FILL_WIREFRAME);
  EXPECT_EQ(source.rasterizerStates[0].desc.CullMode, D3D10_CULL_NONE);
  EXPECT_TRUE(source.rasterizerStates[0].desc.DepthClipEnable);
  ASSERT_EQ(source.samplerStates.size(), 1u);
  EXPECT_EQ(source.samplerStates[0].name, "samWrap");
  EXPECT_EQ(source.samplerStates[0].desc.Filter, D3D10_FILTER_MIN_MAG_MIP_POINT);
  EXPECT_EQ(source.samplerStates[0].desc.AddressU, D3D10_TEXTURE_ADDRESS_WRAP);
  EXPECT_EQ(source.samplerStates[0].desc.AddressV, D3D10_TEXTURE_ADDRESS_CLAMP);

  // Blanked, not cut: the compiler's line numbers stay the file's.
  const std::string& code = source.shaderCode;
  ASSERT_EQ(code.size(), std::string(twoPassFile).size());
  EXPECT_EQ(code.find("technique10 Draw"), std::string::npos);
  EXPECT_EQ(code.find("pass"), std::string::npos);
  EXPECT_EQ(code.find("DepthStencilState"), std::string::npos);
  EXPECT_EQ(code.find("RasterizerState"), std::string::npos);
  EXPECT_EQ(code.find("Filter"), std::string::npos);
  EXPECT_NE(code.find("SamplerState samWrap"), std::string::npos);
  EXPECT_NE(code.find("cbuffer cb { matrix m; };\n"), std::string::npos);
  EXPECT_NE(code.find("// technique10 InAComment { }\n"), std::string::npos);
  EXPECT_NE(code.find("float4 After() : SV_Target { return 1; }\n"), std::string::npos);
  size_t lineBreaks = 0;
  for (char c : code) lineBreaks += c == '\n';
  EXPECT_EQ(lineBreaks, 19u);
}

TEST(EffectSource, BrokenLayerSyntaxFailsWithTheFileLineAndFault) {
  struct Case {
    const char* shows;
    std::string text;
    std::string failure;
  };
  const std::string pass = "technique10 T { pass P { ";
  const Case cases[] = {
      {"a file cut inside a pass", pass + "SetVertexShader( CompileShader( vs_4_0, VS() ) );",
       "f.fx(1): the file ends inside technique T, pass P"},
      {"a file cut inside a statement", "\n" + pass + "SetVertexShader( CompileShader( vs_4",
       "f.fx(2): the file ends inside technique T, pass P"},
      {"a file cut after the technique's name", "technique10 T",
       "f.fx(1): the file ends inside technique T"},
      {"a file cut inside a state object", "DepthStencilState D { DepthEnable = TRUE;",
       "f.fx(1): the file ends inside DepthStencilState D"},
      {"a geometry shader", pass + "SetGeometryShader( CompileShader( gs_4_0, GS() ) ); } }",
       "f.fx(1): geometry shaders cannot be compiled; use NULL"},
      {"a vertex shader of another profile",
       pass + "SetVertexShader( CompileShader( vs_5_0, VS() ) ); } }",
       "f.fx(1): SetVertexShader needs the profile vs_4_0, not 'vs_5_0'"},
      {"an unknown statement", pass + "\nSetBlendState( NULL, float4( 0, 0, 0, 0 ), 0xFFFFFFFF ); } }",
       "f.fx(2): unknown pass statement 'SetBlendState'"},
      {"something other than a pass", "technique10 T { shader P { } }",
       "f.fx(1): 'pass' expected in technique T, found 'shader'"},
      {"a blend state", "BlendState B { BlendEnable[0] = FALSE; };",
       "f.fx(1): BlendState objects are not supported"},
      {"an unknown state value", "RasterizerState R { CullMode = SIDEWAYS; };",
       "f.fx(1): unknown value 'SIDEWAYS'"},
      {"an unknown state field", "SamplerState S { MaxAnisotropy = 4; };",
       "f.fx(1): unknown field 'MaxAnisotropy' in SamplerState S"},
  };
  for (const Case& c : cases) {
    EffectSource source;
    std::string failure;
    EXPECT_FALSE(ParseEffectSource(c.text, "f.fx", &source, &failure)) << c.shows;
    EXPECT_EQ(failure, c.failure) << c.shows;
  }
}

}  // namespace
