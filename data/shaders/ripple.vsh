// Ripple water: vertex stage.  The water quad has only its four corners, so
// all of the rippling happens per fragment; this stage hands on the picture
// coordinates and the position on the water plane (stage units, y = 0).
#version 110

varying vec2 pictureCoord;
varying vec3 surface;

void main()
{
    pictureCoord = gl_MultiTexCoord0.xy;
    surface = gl_Vertex.xyz;
    gl_FrontColor = gl_Color;
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
}
