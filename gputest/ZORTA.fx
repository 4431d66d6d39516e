//--------------------------------------------------------------------------------------
// ZORTA.fx: the scene's shaders. The room, monitors and arm are lit and textured; the sphere
// mirrors the room through the environment cube map rendered in every frame.
//
// Written for the test's own effect layer: techniques, passes and state objects are read by the
// layer, the rest goes to the platform's compiler as vs_4_0 and ps_4_0 shaders. The environment
// pass routes instance i of each draw to cube face i; the layer compiles its vertex shader once
// per face with CUBE_FACE set to the face, so the face's view is read at a constant index.
//--------------------------------------------------------------------------------------

cbuffer cbPerObject
{
    matrix mWorldViewProj;
    matrix mWorldView;
    matrix mWorld;
    matrix mView;
    matrix mProj;
};

cbuffer cbPerCubeRender
{
    matrix g_mViewCM[6];
};

cbuffer cbPerFrame
{
    float4 vEye;
};

cbuffer cbPerMaterial
{
    float4 vMaterialDiff;
    float4 vMaterialSpec;
};

Texture2D g_txDiffuse;
TextureCube g_txEnvMap;

SamplerState samLinearWrap
{
    Filter = MIN_MAG_MIP_LINEAR;
    AddressU = Wrap;
    AddressV = Wrap;
};

SamplerState samCube
{
    Filter = MIN_MAG_MIP_LINEAR;
    AddressU = Clamp;
    AddressV = Clamp;
    AddressW = Clamp;
};

DepthStencilState DepthTest
{
    DepthEnable = TRUE;
    DepthWriteMask = ALL;
    DepthFunc = LESS_EQUAL;
};

RasterizerState SolidBackCull
{
    FillMode = SOLID;
    CullMode = BACK;
};

struct VS_INPUT
{
    float3 Pos : POSITION;
    float3 Normal : NORMAL;
    float2 Tex : TEXCOORD0;
};

struct VS_OUTPUT_LIT
{
    float4 Pos : SV_POSITION;
    float3 Normal : TEXCOORD1;
    float2 Tex : TEXCOORD0;
};

struct VS_OUTPUT_ENV
{
    float4 Pos : SV_POSITION;
    float2 Tex : TEXCOORD0;
    float3 WorldPos : TEXCOORD1;
    float3 WorldNormal : TEXCOORD2;
    float3 ViewPos : TEXCOORD3;
    float3 ViewNormal : TEXCOORD4;
};

//--------------------------------------------------------------------------------------
// Room, monitors and arm
//--------------------------------------------------------------------------------------
VS_OUTPUT_LIT VS_Scene( VS_INPUT input )
{
    VS_OUTPUT_LIT output;
    output.Pos = mul( float4( input.Pos, 1.0 ), mWorldViewProj );
    output.Normal = mul( float4( input.Normal, 0.0 ), mWorld ).xyz;
    output.Tex = input.Tex;
    return output;
}

// The environment pass without instancing: one face, through the first face view.
VS_OUTPUT_LIT VS_CubeMap( VS_INPUT input )
{
    VS_OUTPUT_LIT output;
    float4 worldPos = mul( float4( input.Pos, 1.0 ), mWorld );
    output.Pos = mul( mul( worldPos, mView ), mProj );
    output.Normal = mul( float4( input.Normal, 0.0 ), mWorld ).xyz;
    output.Tex = input.Tex;
    return output;
}

// The environment pass with instancing: compiled once per face.
VS_OUTPUT_LIT VS_CubeMap_Inst( VS_INPUT input )
{
    VS_OUTPUT_LIT output;
    float4 worldPos = mul( float4( input.Pos, 1.0 ), mWorld );
    output.Pos = mul( mul( worldPos, g_mViewCM[CUBE_FACE] ), mProj );
    output.Normal = mul( float4( input.Normal, 0.0 ), mWorld ).xyz;
    output.Tex = input.Tex;
    return output;
}

float4 PS_Scene( VS_OUTPUT_LIT input ) : SV_Target
{
    float3 toLight = normalize( float3( -0.4, 1.0, -0.6 ) );
    float light = 0.35 + 0.65 * saturate( dot( normalize( input.Normal ), toLight ) );
    float4 diffuse = g_txDiffuse.Sample( samLinearWrap, input.Tex );
    return float4( diffuse.rgb * light, diffuse.a );
}

//--------------------------------------------------------------------------------------
// The reflecting sphere
//--------------------------------------------------------------------------------------
VS_OUTPUT_ENV VS_EnvMappedScene( VS_INPUT input )
{
    VS_OUTPUT_ENV output;
    float4 pos = float4( input.Pos, 1.0 );
    float4 normal = float4( input.Normal, 0.0 );
    output.Pos = mul( pos, mWorldViewProj );
    output.Tex = input.Tex;
    output.WorldPos = mul( pos, mWorld ).xyz;
    output.WorldNormal = mul( normal, mWorld ).xyz;
    output.ViewPos = mul( pos, mWorldView ).xyz;
    output.ViewNormal = mul( normal, mWorldView ).xyz;
    return output;
}

// The mirrored room, stronger at grazing angles, over the material's colours. The two pixel
// shaders repeat it: Wine's compiler cannot call functions of the file's own.
float4 PS_EnvMappedScene( VS_OUTPUT_ENV input ) : SV_Target
{
    float3 normal = normalize( input.WorldNormal );
    float3 incident = normalize( input.WorldPos - vEye.xyz );
    float3 reflected = incident - 2.0 * dot( normal, incident ) * normal;
    float3 env = g_txEnvMap.Sample( samCube, reflected ).rgb;
    float facing = saturate( dot( normalize( input.ViewNormal ), normalize( -input.ViewPos ) ) );
    float fresnel = pow( 1.0 - facing, 5.0 );
    float3 reflectance = vMaterialSpec.rgb + ( 1.0 - vMaterialSpec.rgb ) * fresnel;
    float3 mirrored = vMaterialDiff.rgb * 0.2 + env * reflectance;
    float4 diffuse = g_txDiffuse.Sample( samLinearWrap, input.Tex );
    return float4( mirrored * diffuse.rgb, 1.0 );
}

float4 PS_EnvMappedScene_NoTexture( VS_OUTPUT_ENV input ) : SV_Target
{
    float3 normal = normalize( input.WorldNormal );
    float3 incident = normalize( input.WorldPos - vEye.xyz );
    float3 reflected = incident - 2.0 * dot( normal, incident ) * normal;
    float3 env = g_txEnvMap.Sample( samCube, reflected ).rgb;
    float facing = saturate( dot( normalize( input.ViewNormal ), normalize( -input.ViewPos ) ) );
    float fresnel = pow( 1.0 - facing, 5.0 );
    float3 reflectance = vMaterialSpec.rgb + ( 1.0 - vMaterialSpec.rgb ) * fresnel;
    float3 mirrored = vMaterialDiff.rgb * 0.2 + env * reflectance;
    return float4( mirrored, 1.0 );
}

//--------------------------------------------------------------------------------------
// Techniques
//--------------------------------------------------------------------------------------
technique10 RenderScene
{
    pass P0
    {
        SetVertexShader( CompileShader( vs_4_0, VS_Scene() ) );
        SetGeometryShader( NULL );
        SetPixelShader( CompileShader( ps_4_0, PS_Scene() ) );
        SetDepthStencilState( DepthTest, 0 );
        SetRasterizerState( SolidBackCull );
    }
}

technique10 RenderCubeMap
{
    pass P0
    {
        SetVertexShader( CompileShader( vs_4_0, VS_CubeMap() ) );
        SetGeometryShader( NULL );
        SetPixelShader( CompileShader( ps_4_0, PS_Scene() ) );
        SetDepthStencilState( DepthTest, 0 );
        SetRasterizerState( SolidBackCull );
    }
}

technique10 RenderCubeMap_Inst
{
    pass P0
    {
        SetVertexShader( CompileShader( vs_4_0, VS_CubeMap_Inst() ) );
        SetGeometryShader( NULL );
        SetPixelShader( CompileShader( ps_4_0, PS_Scene() ) );
        SetDepthStencilState( DepthTest, 0 );
        SetRasterizerState( SolidBackCull );
        RouteInstancesToCubeFaces();
    }
}

technique10 RenderEnvMappedScene
{
    pass P0
    {
        SetVertexShader( CompileShader( vs_4_0, VS_EnvMappedScene() ) );
        SetGeometryShader( NULL );
        SetPixelShader( CompileShader( ps_4_0, PS_EnvMappedScene() ) );
        SetDepthStencilState( DepthTest, 0 );
        SetRasterizerState( SolidBackCull );
    }
}

technique10 RenderEnvMappedScene_NoTexture
{
    pass P0
    {
        SetVertexShader( CompileShader( vs_4_0, VS_EnvMappedScene() ) );
        SetGeometryShader( NULL );
        SetPixelShader( CompileShader( ps_4_0, PS_EnvMappedScene_NoTexture() ) );
        SetDepthStencilState( DepthTest, 0 );
        SetRasterizerState( SolidBackCull );
    }
}
