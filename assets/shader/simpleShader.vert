#version 430 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;

out vec3 worldNormal;

uniform mat4 projectionMatrix;
uniform mat4 modelMatrix;
uniform mat3 normalMatrix;

void main()
{
    worldNormal = normalMatrix * normal;
    gl_Position = projectionMatrix * modelMatrix * vec4(position, 1.0);
}
