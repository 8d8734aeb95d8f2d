/**********************************************************************************************
*
*   sky - the sky box and the sun, as vertex runs of the renderer's layout
*
*   The sky box: a cube of the given edge around the viewer, one quad per face in the
*   editor's order (walls at minimum and maximum Z, floor, ceiling, walls at minimum and
*   maximum X), each covering its picture once, corners in the order bottom left, bottom
*   right, top right, top left as seen from inside; a quad drawn outside a display list is
*   split by Mesa into (0, 1, 2) and (0, 2, 3). The sun: the sphere GLU draws with the
*   editor's quadric (smooth normals pointing inwards), stacks of quad strips from the +Z
*   pole down, as triangles.
*
*   DEPENDENCIES: none
*
**********************************************************************************************/

// Floats per vertex: position 3, normal 3, texture coordinate 2 (the geometry buffer's layout)
export const VERTEX_FLOATS = 8;

// (s, t, x, y, z) of the four corners of each face; offsets from the centre in half edges
const SKY_FACES = [
  [[0, 0, -1, -1, -1], [1, 0, 1, -1, -1], [1, 1, 1, 1, -1], [0, 1, -1, 1, -1]],
  [[0, 0, 1, -1, 1], [1, 0, -1, -1, 1], [1, 1, -1, 1, 1], [0, 1, 1, 1, 1]],
  [[0, 0, -1, -1, 1], [1, 0, 1, -1, 1], [1, 1, 1, -1, -1], [0, 1, -1, -1, -1]],
  [[0, 0, -1, 1, -1], [1, 0, 1, 1, -1], [1, 1, 1, 1, 1], [0, 1, -1, 1, 1]],
  [[0, 0, -1, -1, 1], [1, 0, -1, -1, -1], [1, 1, -1, 1, -1], [0, 1, -1, 1, 1]],
  [[0, 0, 1, -1, -1], [1, 0, 1, -1, 1], [1, 1, 1, 1, 1], [0, 1, 1, 1, -1]],
];

// Six faces of six vertices each (two triangles), in face order
export function skyBoxVertices(edge) {
  const h = Math.fround(edge * 0.5);
  const out = [];
  for (const corners of SKY_FACES) {
    for (const k of [0, 1, 2, 0, 2, 3]) {
      const [s, t, x, y, z] = corners[k];
      out.push(x * h, y * h, z * h, 0, 0, 1, s, t);
    }
  }
  return new Float32Array(out);
}

// The sun's sphere as triangles around its centre
export function sunVertices(radius, slices, stacks) {
  const out = [];
  const point = (i, j) => {
    const around = 2 * Math.PI * (i % slices) / slices;
    const down = Math.PI * j / stacks;
    const ring = j === 0 || j === stacks ? 0 : radius * Math.sin(down);
    const x = ring * Math.sin(around), y = ring * Math.cos(around), z = radius * Math.cos(down);
    // NOTE: the editor's quadric has its normals pointing inwards
    return [x, y, z, -x / radius, -y / radius, -z / radius, 1 - i / slices, j / stacks];
  };
  for (let j = 0; j < stacks; j++) {
    for (let i = 0; i < slices; i++) {
      const a = point(i, j), b = point(i, j + 1), c = point(i + 1, j), d = point(i + 1, j + 1);
      out.push(...a, ...b, ...c, ...c, ...b, ...d);
    }
  }
  return new Float32Array(out);
}
