#version 430 core
// The full-screen quad's corners (-1..1) laid on the ground below the player.
layout(location = 0) in vec3 position;

uniform mat4 viewProjMatrix;
uniform mat4 modelMatrix;

out vec2 local;

void main()
{
    local = position.xy;
    gl_Position = viewProjMatrix * modelMatrix * vec4(position.xy, 0.0, 1.0);
}
