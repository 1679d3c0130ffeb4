#version 430 core
in vec3 worldNormal;
out vec4 fragColor;

uniform vec3 materialDiffuse;

// Lit from the upper left, in front of the screen.
const vec3 lightDirection = normalize(vec3(-0.4, 0.6, 1.0));

void main()
{
    vec3 n = normalize(worldNormal);
    // Drawn without a depth test: the far side of the model would paint over the
    // near side, so only surfaces facing the viewer are kept.
    if (n.z < 0.0)
        discard;
    float diffuse = max(dot(n, lightDirection), 0.0);
    vec3 halfway = normalize(lightDirection + vec3(0.0, 0.0, 1.0));
    float highlight = pow(max(dot(n, halfway), 0.0), 32.0);
    fragColor = vec4(materialDiffuse * (0.35 + 0.65 * diffuse) + vec3(0.35 * highlight), 1.0);
}
