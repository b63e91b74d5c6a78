// Ripple water: fragment stage.
//
// A handful of travelling waves of different lengths and directions make a
// height field on the water plane.  Its slope bends the look-up into the
// water picture (more at grazing angles, as reflections on real water do),
// shades the wave faces, and throws a glitter path towards a light low
// behind the backdrop.  Waves finer than a pixel's footprint fade out, so
// the far water does not turn into noise.
//
// Every wave repeats a whole number of times in 120 seconds, and the picture
// drifts one whole picture height in that time, so wrapping the clock at 120
// seconds is seamless and the arithmetic stays precise however long the
// saver runs.
#version 110

uniform float time;
uniform sampler2D water;  // texture unit 0: the scene's water picture

varying vec2 pictureCoord;
varying vec3 surface;

const float TAU = 6.2831853;
const float PERIOD = 120.0;
// Where the stage camera stands (near enough for every screen shape).
const vec3 EYE = vec3(0.0, 20.0, 118.0);
// A light low in the sky behind the backdrop.
const vec3 LIGHT = vec3(0.0, 0.28, -0.96);

float clock;
float footprint;
vec2 slope;

// Adds one wave: direction on the plane (x, z), length in stage units,
// whole cycles per period, height.
void wave(vec2 dir, float len, float cycles, float height)
{
    float k = TAU / len;
    float fade = 1.0 - smoothstep(0.2, 0.5, footprint / len);
    float phase = k * dot(dir, surface.xz) - TAU * cycles * clock / PERIOD;
    slope += dir * (height * k * fade * cos(phase));
}

void main()
{
    clock = mod(time, PERIOD);
    vec2 fw = fwidth(surface.xz);
    footprint = max(fw.x, fw.y);

    slope = vec2(0.0);
    wave(normalize(vec2( 0.25,  1.0)), 13.0,  31.0, 0.17);
    wave(normalize(vec2(-0.9,   1.0)), 10.7,  29.0, 0.15);
    wave(normalize(vec2(-0.55,  1.0)),  8.3,  41.0, 0.16);
    wave(normalize(vec2( 1.0,   0.45)), 5.1,  53.0, 0.10);
    wave(normalize(vec2(-1.0,   0.8)),  3.3,  67.0, 0.065);
    wave(normalize(vec2( 0.3,  -1.0)),  2.1,  83.0, 0.04);
    wave(normalize(vec2( 0.85,  0.9)),  1.35, 103.0, 0.025);
    wave(normalize(vec2(-0.2,   1.0)),  0.8, 131.0, 0.012);

    vec3 view = normalize(EYE - surface);
    vec3 normal = normalize(vec3(-slope.x, 1.0, -slope.y));
    // 0 looking straight down, towards 1 at grazing angles.
    float grazing = 1.0 - view.y;
    // Shading detail fades where a pixel covers more than a wave.
    float detail = 1.0 - smoothstep(0.2, 0.9, footprint);

    // Bend the look-up: sideways a little, along the line of sight more,
    // and more the flatter the water is seen.  Picture x runs over 160
    // stage units, picture y over 70 towards the backdrop.
    vec2 bend = vec2(slope.x * 0.004, -slope.y * (0.008 + 0.024 * grazing * grazing));
    vec2 coord = pictureCoord + bend + vec2(0.0, clock / PERIOD);
    vec3 base = texture2D(water, coord).rgb;

    // Faces tilted towards the viewer mirror the brighter sky above the
    // horizon, faces tilted away the darker water beyond.
    float facing = clamp(-slope.y * 1.1 - 0.1 * slope.x, -0.35, 0.45) * detail;
    vec3 colour = base * (0.95 + facing);

    // Glitter: the light mirrored in the wave faces, tinted by the water.
    vec3 mirrored = reflect(-view, normal);
    float glint = pow(max(dot(mirrored, LIGHT), 0.0), 700.0) * (0.4 + 0.6 * detail);
    colour += glint * (vec3(0.3) + base * 2.0);

    gl_FragColor = vec4(colour, 1.0) * gl_Color;
}
