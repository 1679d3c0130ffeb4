#version 430 core
// The shadow map has only a depth attachment; rasterisation writes the depth.
void main()
{
}
