#version 430 core
layout(location = 0) in vec3 position;

// Projection times the camera's rotation only: the sky never comes closer.
uniform mat4 viewProjMatrix;

out vec3 direction;

void main()
{
    direction = position;
    vec4 clip = viewProjMatrix * vec4(position, 1.0);
    // Depth 1 everywhere: drawn with GL_LEQUAL after the scene, the sky fills
    // only the pixels nothing else covered.
    gl_Position = clip.xyww;
}
