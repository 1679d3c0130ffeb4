#version 430 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec2 texCoords;

out vec2 uv;

// Already multiplied with the text's model matrix.
uniform mat4 projection;

void main()
{
    uv = texCoords;
    gl_Position = projection * vec4(position, 1.0);
}
