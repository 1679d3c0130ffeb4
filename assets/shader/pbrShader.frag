#version 430 core
// Physically based scene shading: Cook-Torrance (GGX distribution, Smith-Schlick
// geometry, Schlick Fresnel) under the sun, shadowed through the sky light's map,
// with the sky box as ambient light and reflection. Writes linear HDR colour;
// exposure, tone mapping and gamma happen in the combine pass.
in SurfaceData {
    vec3 worldPosition;
    vec3 normal;
    vec3 tangent;
    vec2 uv;
    float viewDepth;
} surface;

layout(location = 0) out vec4 fragColor;   // colour, alpha = depth-of-field blur
layout(location = 1) out vec4 brightColor; // the parts brighter than 1, for the bloom

struct DirectionalLight {
    vec3 color;
    vec3 direction;
    int enabled;
};
uniform DirectionalLight dirL;

uniform vec3 camera_world;
uniform float nearZ;
uniform float farZ;
uniform int showDepthMap;
uniform int drawNormal;
uniform float gamma;
uniform float focalDepth; // view-space z of the sharp plane (negative: in front)
uniform float focalRange;

uniform samplerCube skybox;  // units are set by the C++ side
uniform sampler2D shadowMap;
uniform mat4 lightSpaceMatrix;
// 0: one 2 x 2 gather instead of the 4 x 4 tent, for weak machines.
uniform int softShadows = 1;

// The mesh's material.
uniform vec3 albedo;
uniform float metallic;
uniform float roughness;
uniform int enaDiff1;
uniform int enaNorm1;
uniform sampler2D texture_diffuse1;
uniform sampler2D texture_normal1;

// Light the surface gives off on its own; zero for everything the entities draw.
uniform vec3 emission = vec3(0.0);

const float PI = 3.14159265;
// The sun's radiance is its colour times pi, so a white matte surface facing it
// reflects exactly the light colour.
const float sunStrength = PI;
// Share of the sky box that reaches surfaces as ambient light.
const float ambientStrength = 0.3;
// Highlights on polished metal reach thousands; the bloom only needs to know they
// are bright, and a capped source keeps single pixels from flooding the blur.
const float brightLimit = 12.0;
// The largest value the half-float scene target holds: above it a channel would turn
// to infinity, and the blur and tone mapping make infinities into NaN.
const float largestHalf = 65504.0;

// A unit vector along v, or `fallback` where v has no length (a zero normal in the
// model, or opposite normals interpolated across a face): normalize() would divide by zero.
vec3 unitOr(vec3 v, vec3 fallback)
{
    float lengthSquared = dot(v, v);
    return lengthSquared > 1e-12 ? v * inversesqrt(lengthSquared) : fallback;
}

// How far a fragment is out of focus, 0 sharp to 1 fully blurred. The focal range
// of 700 keeps about 7 units either side of the focal plane sharp and reaches full
// blur 35 units away; a larger range widens both.
float blurAmount(float viewDepth)
{
    float range = max(focalRange, 1.0);
    float offFocus = abs(viewDepth + focalDepth);
    return clamp((offFocus - 0.01 * range) / (0.04 * range), 0.0, 1.0);
}

vec3 toLinear(vec3 colour)
{
    return pow(colour, vec3(max(gamma, 0.01)));
}

vec3 shadingNormal(vec3 towardsViewer)
{
    vec3 n = unitOr(surface.normal, vec3(0.0));
    if (!gl_FrontFacing)
        n = -n;
    if (n == vec3(0.0))
        n = towardsViewer;
    // Meshes without texture coordinates carry zero tangents: no normal map then.
    if (enaNorm1 == 1 && dot(surface.tangent, surface.tangent) > 1e-8) {
        vec3 t = unitOr(surface.tangent - n * dot(n, surface.tangent), vec3(0.0));
        vec3 b = cross(n, t);
        vec3 mapped = texture(texture_normal1, surface.uv).xyz * 2.0 - 1.0;
        n = unitOr(mat3(t, b, n) * mapped, n);
    }
    return n;
}

// 1 where the sun reaches the point, 0 in full shadow. A tent-filtered 3 x 3 PCF
// over the nearest shadow texels (sixteen taps weighted by where the point falls
// between them), so edges are soft without the blockiness of nearest sampling.
float sunVisibility(vec3 n, vec3 toLight)
{
    vec2 mapSize = vec2(textureSize(shadowMap, 0));
    // World units per shadow texel, from the projection's x scale (the view part is
    // a rotation, so the length of the first row is 1 / half width).
    float unitsPerTexel = 2.0 / (length(vec3(lightSpaceMatrix[0][0], lightSpaceMatrix[1][0],
                                             lightSpaceMatrix[2][0])) * mapSize.x);
    // And how much stored depth one world unit along the light is worth.
    float depthPerUnit = 0.5 * length(vec3(lightSpaceMatrix[0][2], lightSpaceMatrix[1][2],
                                           lightSpaceMatrix[2][2]));

    float cosine = clamp(dot(n, toLight), 0.0, 1.0);
    float sine = sqrt(1.0 - cosine * cosine);
    // Normal offset: step off the surface by about a texel, more where the light
    // grazes it, so a surface never compares against its own texels (no acne).
    vec3 offsetPosition = surface.worldPosition + n * unitsPerTexel * (0.6 + 1.4 * sine);
    vec4 lightClip = lightSpaceMatrix * vec4(offsetPosition, 1.0);
    vec3 coords = lightClip.xyz / lightClip.w * 0.5 + 0.5;
    if (coords.z > 1.0)
        return 1.0; // beyond the shadow box along the light

    // Slope-scaled depth bias, kept below a texel's depth so a foot standing on the
    // floor still meets its shadow (no gap under the player).
    float slope = min(sine / max(cosine, 0.05), 4.0);
    float bias = depthPerUnit * unitsPerTexel * (0.15 + 0.35 * slope);
    float depth = coords.z - bias;

    vec2 texel = coords.xy * mapSize - 0.5;
    vec2 base = floor(texel);
    vec2 f = texel - base;
    if (softShadows == 0) {
        // The four texels around the point, weighted bilinearly.
        vec4 stored = textureGather(shadowMap, (base + 1.0) / mapSize);
        vec4 inLight = step(vec4(depth), stored);
        return dot(inLight, vec4((1.0 - f.x) * f.y, f.x * f.y, f.x * (1.0 - f.y), (1.0 - f.x) * (1.0 - f.y)));
    }
    // A 4 x 4 block of texels around the point, weighted so the result slides
    // smoothly between texels: four gathers of 2 x 2, each at the corner its texels
    // share. Outside the map the border colour (depth 1) answers.
    float lit = 0.0;
    for (int y = -1; y <= 1; y += 2) {
        vec2 wy = y == -1 ? vec2(1.0 - f.y, 1.0) : vec2(1.0, f.y); // lower row, upper row
        for (int x = -1; x <= 1; x += 2) {
            vec2 wx = x == -1 ? vec2(1.0 - f.x, 1.0) : vec2(1.0, f.x); // left column, right column
            // Gathered as (left, upper), (right, upper), (right, lower), (left, lower).
            vec4 stored = textureGather(shadowMap, (base + vec2(x, y) + 1.0) / mapSize);
            vec4 inLight = step(vec4(depth), stored);
            lit += dot(inLight, vec4(wx.x * wy.y, wx.y * wy.y, wx.y * wy.x, wx.x * wy.x));
        }
    }
    return lit / 9.0;
}

float distributionGGX(float nDotH, float alpha)
{
    float a2 = alpha * alpha;
    float d = nDotH * nDotH * (a2 - 1.0) + 1.0;
    return a2 / (PI * d * d);
}

float geometrySchlickGGX(float nDotX, float k)
{
    return nDotX / (nDotX * (1.0 - k) + k);
}

vec3 fresnelSchlick(float cosTheta, vec3 f0)
{
    return f0 + (1.0 - f0) * pow(clamp(1.0 - cosTheta, 0.0, 1.0), 5.0);
}

vec3 fresnelSchlickRoughness(float cosTheta, vec3 f0, float rough)
{
    return f0 + (max(vec3(1.0 - rough), f0) - f0) * pow(clamp(1.0 - cosTheta, 0.0, 1.0), 5.0);
}

vec3 sky(vec3 direction)
{
    return toLinear(texture(skybox, direction).rgb);
}

void main()
{
    float blur = blurAmount(surface.viewDepth);
    brightColor = vec4(0.0, 0.0, 0.0, 1.0);

    // The camera may stand exactly on the surface.
    vec3 v = unitOr(camera_world - surface.worldPosition, vec3(0.0, 1.0, 0.0));
    vec3 n = shadingNormal(v);
    // With drawNormal set the post-processing is skipped and this colour is shown as it is.
    if (drawNormal == 1) {
        fragColor = vec4(n * 0.5 + 0.5, blur);
        return;
    }
    if (showDepthMap == 1) {
        float linearDepth = clamp((surface.viewDepth - nearZ) / (farZ - nearZ), 0.0, 1.0);
        fragColor = vec4(toLinear(vec3(linearDepth)), blur);
        return;
    }

    vec3 baseColour = enaDiff1 == 1 ? toLinear(texture(texture_diffuse1, surface.uv).rgb) : albedo;
    float metal = clamp(metallic, 0.0, 1.0);
    // Below about 0.05 the highlight becomes narrower than a pixel and flickers.
    float rough = clamp(roughness, 0.05, 1.0);

    float nDotV = max(dot(n, v), 1e-4);
    vec3 f0 = mix(vec3(0.04), baseColour, metal);

    vec3 direct = vec3(0.0);
    if (dirL.enabled == 1) {
        vec3 l = -normalize(dirL.direction);
        float nDotL = dot(n, l);
        if (nDotL > 0.0) {
            vec3 h = unitOr(v + l, n);
            float nDotH = max(dot(n, h), 0.0);
            float k = (rough + 1.0) * (rough + 1.0) / 8.0;
            float d = distributionGGX(nDotH, rough * rough);
            float g = geometrySchlickGGX(nDotV, k) * geometrySchlickGGX(nDotL, k);
            vec3 f = fresnelSchlick(max(dot(h, v), 0.0), f0);
            vec3 specular = d * g * f / (4.0 * nDotV * nDotL + 1e-4);
            vec3 diffuse = (1.0 - f) * (1.0 - metal) * baseColour / PI;
            vec3 radiance = dirL.color * sunStrength;
            direct = (diffuse + specular) * radiance * nDotL * sunVisibility(n, l);
        }
    }

    // Ambient from the sky box: the sky above the normal lights the diffuse part,
    // the mirrored view direction the specular part. Without pre-blurred sky maps,
    // rough surfaces lean on the diffuse sample instead of a sharp reflection.
    vec3 fAmbient = fresnelSchlickRoughness(nDotV, f0, rough);
    vec3 kDiffuse = (1.0 - fAmbient) * (1.0 - metal);
    vec3 irradiance = sky(n);
    vec3 reflected = mix(sky(reflect(-v, n)), irradiance, rough);
    vec3 ambient = (kDiffuse * irradiance * baseColour + fAmbient * reflected) * ambientStrength;

    vec3 colour = min(direct + ambient + emission, vec3(largestHalf));
    fragColor = vec4(colour, blur);

    float luminance = dot(colour, vec3(0.2126, 0.7152, 0.0722));
    if (luminance > 1.0)
        brightColor = vec4(min(colour * (luminance - 1.0) / luminance, vec3(brightLimit)), 1.0);
}
