/**********************************************************************************************
*
*   loader - the published folder's files, fetched with progress
*
*   scene.json first (it names and sizes everything else), then the geometry buffers, every
*   texture's mipmap levels and the HUD's font, all from the folder itself (relative URLs,
*   nothing from anywhere else). The bytes received so far are reported for the loading bar.
*   Every file is checked against the sizes it claims before it is used.
*
*   DEPENDENCIES: none (fetch, typed arrays)
*
**********************************************************************************************/

// Fetches one file of the folder as bytes, reporting each piece received
async function fetchBytes(url, onBytes) {
  const response = await fetch(url);
  if (!response.ok) throw new Error(`${url}: ${response.status}`);
  if (!response.body) {
    const whole = new Uint8Array(await response.arrayBuffer());
    onBytes(whole.length);
    return whole;
  }
  const reader = response.body.getReader();
  const pieces = [];
  let total = 0;
  for (;;) {
    const { done, value } = await reader.read();
    if (done) break;
    pieces.push(value);
    total += value.length;
    onBytes(value.length);
  }
  const bytes = new Uint8Array(total);
  let at = 0;
  for (const piece of pieces) {
    bytes.set(piece, at);
    at += piece.length;
  }
  return bytes;
}

// The levels of a texture file: "SWMM", count, (width, height) per level, then RGB bytes
export function parseMipmaps(bytes) {
  const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  const magic = String.fromCharCode(...bytes.subarray(0, 4));
  if (bytes.length < 8 || magic !== 'SWMM') throw new Error('not a texture file');
  const count = view.getUint32(4, true);
  if (count < 1 || count > 32 || bytes.length < 8 + count * 8) throw new Error('bad texture levels');
  const levels = [];
  let at = 8 + count * 8;
  for (let i = 0; i < count; i++) {
    const width = view.getUint32(8 + i * 8, true);
    const height = view.getUint32(12 + i * 8, true);
    const size = width * height * 3;
    if (width < 1 || height < 1 || at + size > bytes.length) throw new Error('bad texture level');
    levels.push({ width, height, rgb: bytes.subarray(at, at + size) });
    at += size;
  }
  return levels;
}

// The font file: header, glyph table and luminance-alpha image (null when it does not hold up)
export function parseFont(bytes) {
  if (!bytes || bytes.length < 24) return null;
  const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  const width = view.getInt32(4, true), height = view.getInt32(8, true);
  const first = view.getInt32(12, true), last = view.getInt32(16, true);
  const glyphCount = last - first + 1;
  if (width < 1 || height < 1 || glyphCount < 1 || glyphCount > 65536) return null;
  const imageAt = 24 + glyphCount * 24;
  if (bytes.length < imageAt + width * height * 2) return null;
  const glyphs = [];
  for (let i = 0; i < glyphCount; i++) {
    const g = 24 + i * 24;
    const f = (k) => view.getFloat32(g + k * 4, true);
    glyphs.push({ dx: f(0), dy: f(1), tx1: f(2), ty1: f(3), tx2: f(4), ty2: f(5) });
  }
  return { width, height, first, last, glyphs, image: bytes.subarray(imageAt, imageAt + width * height * 2) };
}

// Everything the page needs; progress(received, total) is called as bytes arrive
export async function loadFolder(progress) {
  const scene = await (await fetch('scene.json')).json();
  const render = scene.render;
  if (!render || !render.geometry) throw new Error('scene.json has no render fields');
  const total = render.geometry.bytes + render.textures.reduce((sum, t) => sum + t.bytes, 0);
  let received = 0;
  const onBytes = (n) => {
    received += n;
    progress(received, total);
  };
  progress(0, total);

  const geometryBytes = await fetchBytes(render.geometry.file, onBytes);
  if (geometryBytes.length !== render.geometry.bytes) throw new Error('geometry.bin is incomplete');
  const g = render.geometry;
  const aligned = geometryBytes.buffer;
  const geometry = {
    vertices: new Float32Array(aligned, geometryBytes.byteOffset, g.indexOffset / 4),
    indices: new Uint32Array(aligned, geometryBytes.byteOffset + g.indexOffset, (g.planeOffset - g.indexOffset) / 4),
    planes: new Float32Array(aligned, geometryBytes.byteOffset + g.planeOffset, (g.bytes - g.planeOffset) / 4),
  };
  const textures = await Promise.all(render.textures.map(async (t) => parseMipmaps(await fetchBytes(t.file, onBytes))));
  let font = null;
  if (render.font) {
    try {
      font = parseFont(await fetchBytes(render.font, () => {}));
    } catch {
      font = null;
    }
  }
  return { scene, geometry, textures, font };
}
