#version 430 core
// Shared by both scene programs (plain and physically based): the mesh layout of
// the models, world-space outputs for lighting and shadows, and the view depth for
// the depth of field.
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 texCoords;
layout(location = 3) in vec3 tangent;
// The bitangent at location 4 is never enabled by the meshes; the fragment stage
// rebuilds it from the normal and the tangent.

uniform mat4 modelMatrix;
uniform mat3 normalMatrix;
uniform mat4 viewProjMatrix;

out SurfaceData {
    vec3 worldPosition;
    vec3 normal;
    vec3 tangent;
    vec2 uv;
    float viewDepth; // distance in front of the camera along its axis
} surface;

void main()
{
    vec4 world = modelMatrix * vec4(position, 1.0);
    surface.worldPosition = world.xyz;
    surface.normal = normalMatrix * normal;
    surface.tangent = mat3(modelMatrix) * tangent;
    surface.uv = texCoords;
    gl_Position = viewProjMatrix * world;
    // A perspective projection puts the view-space depth into w.
    surface.viewDepth = gl_Position.w;
}
