#version 430 core
layout(location = 0) in vec3 corner;          // of a unit square around the origin
layout(location = 1) in vec4 centreAndLife;   // per particle: centre, remaining life as size
layout(location = 2) in vec4 particleColour;  // per particle

uniform mat4 projection; // projection times view
uniform vec3 CameraRight_worldspace;
uniform vec3 CameraUp_worldspace;

out vec2 squareUV;
out vec4 colour;

void main()
{
    float size = centreAndLife.w;
    vec3 world = centreAndLife.xyz + CameraRight_worldspace * corner.x * size + CameraUp_worldspace * corner.y * size;
    gl_Position = projection * vec4(world, 1.0);
    squareUV = corner.xy * 2.0;
    colour = particleColour;
}
