/**********************************************************************************************
*
*   shaders - the fixed pipeline stageworks draws with, as one WebGL program
*
*   Per-vertex (Gouraud) lighting as OpenGL 1.x computes it with the editor's settings: the
*   material's emission plus its ambient times the global ambient, plus for every enabled
*   light its ambient, diffuse (N.L) and specular ((N.H)^shininess with an infinite viewer,
*   H = normalize(L + (0, 0, 1))) terms; positional lights without attenuation or spot;
*   alpha from the diffuse colour; the sum clamped to [0, 1]. Normals are not normalised
*   (the editor does not ask for it). Texture coordinates go through the texture matrix; the
*   texel modulates the colour. Fog is EXP2 as Mesa's llvmpipe computes it: the absolute eye
*   Z of each vertex, interpolated over the fragment, f = e^-(density * z)^2 applied to RGB.
*   Lines of back faces of a wire frame are dropped in the vertex shader, as OpenGL culls a
*   polygon drawn in lines.
*
*   DEPENDENCIES: none
*
**********************************************************************************************/

export const MAX_LIGHTS = 3;

export const VERTEX_SHADER = `
precision highp float;
attribute vec3 aPosition;
attribute vec3 aNormal;
attribute vec2 aTexCoord;
attribute vec4 aPlane;

uniform mat4 uModelView;
uniform mat4 uProjection;
uniform mat3 uNormalMatrix;
uniform mat4 uTextureMatrix;
uniform bool uLighting;
uniform vec4 uColor;
uniform vec4 uGlobalAmbient;
uniform vec4 uMatAmbient;
uniform vec4 uMatDiffuse;
uniform vec4 uMatSpecular;
uniform vec4 uMatEmission;
uniform float uShininess;
uniform int uLightCount;
uniform vec4 uLightPosition[${MAX_LIGHTS}];
uniform vec4 uLightAmbient[${MAX_LIGHTS}];
uniform vec4 uLightDiffuse[${MAX_LIGHTS}];
uniform vec4 uLightSpecular[${MAX_LIGHTS}];
uniform bool uPlaneCull;
uniform vec3 uEyeInObject;

varying vec4 vColor;
varying vec2 vTexCoord;
varying float vFogZ;

vec4 lit(vec3 eye, vec3 n) {
  vec3 sum = uMatEmission.rgb + uMatAmbient.rgb * uGlobalAmbient.rgb;
  for (int i = 0; i < ${MAX_LIGHTS}; i++) {
    if (i >= uLightCount) break;
    vec3 toLight = uLightPosition[i].w != 0.0 ? uLightPosition[i].xyz / uLightPosition[i].w - eye
                                              : uLightPosition[i].xyz;
    vec3 l = normalize(toLight);
    float nDotL = dot(n, l);
    sum += uLightAmbient[i].rgb * uMatAmbient.rgb;
    if (nDotL > 0.0) {
      sum += nDotL * uLightDiffuse[i].rgb * uMatDiffuse.rgb;
      vec3 h = normalize(l + vec3(0.0, 0.0, 1.0));
      float nDotH = max(dot(n, h), 0.0);
      float power = uShininess == 0.0 ? 1.0 : (nDotH > 0.0 ? pow(nDotH, uShininess) : 0.0);
      sum += power * uLightSpecular[i].rgb * uMatSpecular.rgb;
    }
  }
  return clamp(vec4(sum, uMatDiffuse.a), 0.0, 1.0);
}

void main() {
  vec4 eye = uModelView * vec4(aPosition, 1.0);
  gl_Position = uProjection * eye;
  vColor = uLighting ? lit(eye.xyz / eye.w, uNormalMatrix * aNormal) : clamp(uColor, 0.0, 1.0);
  vec4 texCoord = uTextureMatrix * vec4(aTexCoord, 0.0, 1.0);
  vTexCoord = texCoord.xy / texCoord.w;
  vFogZ = abs(eye.z);
  // the line of a face turned away: outside the clip volume, so nothing of it is drawn
  if (uPlaneCull && dot(aPlane.xyz, uEyeInObject) + aPlane.w <= 0.0) gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
}
`;

export const FRAGMENT_SHADER = `
precision highp float;
uniform sampler2D uTexture;
uniform bool uTextured;
uniform bool uFog;
uniform vec4 uFogColor;
uniform float uFogDensity;
uniform bool uLuminanceAlpha;

varying vec4 vColor;
varying vec2 vTexCoord;
varying float vFogZ;

void main() {
  vec4 color = vColor;
  if (uTextured) {
    vec4 texel = texture2D(uTexture, vTexCoord);
    color *= uLuminanceAlpha ? vec4(texel.rrr, texel.a) : vec4(texel.rgb, 1.0);
  }
  if (uFog) {
    float d = uFogDensity * vFogZ;
    color.rgb = mix(uFogColor.rgb, color.rgb, clamp(exp(-d * d), 0.0, 1.0));
  }
  gl_FragColor = color;
}
`;

// Compiles and links the program; throws with the compiler's log on failure
export function makeProgram(gl) {
  const compile = (type, source) => {
    const shader = gl.createShader(type);
    gl.shaderSource(shader, source);
    gl.compileShader(shader);
    if (!gl.getShaderParameter(shader, gl.COMPILE_STATUS)) throw new Error(gl.getShaderInfoLog(shader) ?? 'shader');
    return shader;
  };
  const program = gl.createProgram();
  gl.attachShader(program, compile(gl.VERTEX_SHADER, VERTEX_SHADER));
  gl.attachShader(program, compile(gl.FRAGMENT_SHADER, FRAGMENT_SHADER));
  gl.bindAttribLocation(program, 0, 'aPosition');
  gl.bindAttribLocation(program, 1, 'aNormal');
  gl.bindAttribLocation(program, 2, 'aTexCoord');
  gl.bindAttribLocation(program, 3, 'aPlane');
  gl.linkProgram(program);
  if (!gl.getProgramParameter(program, gl.LINK_STATUS)) throw new Error(gl.getProgramInfoLog(program) ?? 'program');
  const uniforms = {};
  const count = gl.getProgramParameter(program, gl.ACTIVE_UNIFORMS);
  for (let i = 0; i < count; i++) {
    const info = gl.getActiveUniform(program, i);
    const name = info.name.replace(/\[0\]$/, '');
    uniforms[name] = gl.getUniformLocation(program, info.name);
  }
  return { program, uniforms };
}
