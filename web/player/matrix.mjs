/**********************************************************************************************
*
*   matrix - the fixed pipeline's matrix operations, for the page
*
*   4 x 4 matrices in OpenGL's column-major order (Float64Array, handed to WebGL as 32-bit
*   floats), built as glRotatef, glTranslatef, glScalef, gluPerspective and gluPickMatrix
*   build them, and the few vector operations the renderer and the picking need.
*
*   DEPENDENCIES: none
*
**********************************************************************************************/

// The identity
export function identity() {
  const m = new Float64Array(16);
  m[0] = m[5] = m[10] = m[15] = 1;
  return m;
}

// a x b
export function multiply(a, b) {
  const out = new Float64Array(16);
  for (let col = 0; col < 4; col++) {
    for (let row = 0; row < 4; row++) {
      let sum = 0;
      for (let k = 0; k < 4; k++) sum += a[k * 4 + row] * b[col * 4 + k];
      out[col * 4 + row] = sum;
    }
  }
  return out;
}

// m x translation (x, y, z), as glTranslatef
export function translate(m, x, y, z) {
  const t = identity();
  t[12] = x; t[13] = y; t[14] = z;
  return multiply(m, t);
}

// m x scaling, as glScalef
export function scale(m, x, y, z) {
  const s = identity();
  s[0] = x; s[5] = y; s[10] = z;
  return multiply(m, s);
}

// m x rotation by degrees about the axis (x, y, z), as glRotatef
export function rotate(m, degrees, x, y, z) {
  const length = Math.hypot(x, y, z);
  if (length === 0) return m;
  x /= length; y /= length; z /= length;
  const a = degrees * Math.PI / 180;
  const c = Math.cos(a), s = Math.sin(a), t = 1 - c;
  const r = identity();
  r[0] = x * x * t + c;     r[4] = x * y * t - z * s; r[8] = x * z * t + y * s;
  r[1] = y * x * t + z * s; r[5] = y * y * t + c;     r[9] = y * z * t - x * s;
  r[2] = z * x * t - y * s; r[6] = z * y * t + x * s; r[10] = z * z * t + c;
  return multiply(m, r);
}

// The projection of gluPerspective
export function perspective(fovy, aspect, near, far) {
  const m = new Float64Array(16);
  const radians = fovy / 2 * Math.PI / 180;
  const sine = Math.sin(radians);
  const depth = far - near;
  if (depth === 0 || sine === 0 || aspect === 0) return identity();
  const cotangent = Math.cos(radians) / sine;
  m[0] = cotangent / aspect;
  m[5] = cotangent;
  m[10] = -(far + near) / depth;
  m[11] = -1;
  m[14] = -2 * near * far / depth;
  return m;
}

// The pick region of gluPickMatrix: a width x height box around (x, y) of the viewport
// (x, y, w, h), y counted from the bottom
export function pickMatrix(x, y, width, height, viewport) {
  let m = identity();
  m = translate(m, (viewport[2] - 2 * (x - viewport[0])) / width, (viewport[3] - 2 * (y - viewport[1])) / height, 0);
  return scale(m, viewport[2] / width, viewport[3] / height, 1);
}

// m x (x, y, z, w)
export function transform(m, x, y, z, w) {
  return [
    m[0] * x + m[4] * y + m[8] * z + m[12] * w,
    m[1] * x + m[5] * y + m[9] * z + m[13] * w,
    m[2] * x + m[6] * y + m[10] * z + m[14] * w,
    m[3] * x + m[7] * y + m[11] * z + m[15] * w,
  ];
}

// The inverse of a rigid motion (rotations and translations only)
export function inverseRigid(m) {
  const out = identity();
  for (let row = 0; row < 3; row++)
    for (let col = 0; col < 3; col++) out[col * 4 + row] = m[row * 4 + col];
  for (let row = 0; row < 3; row++)
    out[12 + row] = -(out[row] * m[12] + out[4 + row] * m[13] + out[8 + row] * m[14]);
  return out;
}

// The upper 3 x 3 of m (the normal matrix of a rigid motion), column-major
export function normalMatrix(m) {
  return new Float32Array([m[0], m[1], m[2], m[4], m[5], m[6], m[8], m[9], m[10]]);
}

// The view transform of a camera pose [x, y, z, yaw, pitch, roll]
export function viewMatrix(pose) {
  let m = identity();
  m = rotate(m, -pose[5], 0, 0, 1);
  m = rotate(m, -pose[4], 1, 0, 0);
  m = rotate(m, -pose[3], 0, 1, 0);
  return translate(m, -pose[0], -pose[1], -pose[2]);
}

// view x the placement of an object pose: translation, then yaw about Y, pitch about X, roll about Z
export function placeObject(view, pose) {
  let m = translate(view, pose[0], pose[1], pose[2]);
  m = rotate(m, pose[3], 0, 1, 0);
  m = rotate(m, pose[4], 1, 0, 0);
  return rotate(m, pose[5], 0, 0, 1);
}
