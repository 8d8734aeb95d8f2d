/**********************************************************************************************
*
*   hud - the statistics lines over the picture (key L), in the editor's texture font
*
*   The font file's luminance-alpha image is the texture; each character is a quad of its
*   glyph's size in eye coordinates (the HUD stands 70 units in front of the eye, lines from
*   x = -36), white modulated by the texture and blended, with lighting, fog and depth test
*   off, as the editor draws it. The lines and their values are the editor's.
*
*   DEPENDENCIES: matrix, renderer (its program and uniforms)
*
**********************************************************************************************/
import * as M from './matrix.mjs';

const LINE_Y = [25.5, 21.5, 19.5, 17.5, 15.5, 13.5, 11.5, -0.5];
const HUD_X = -36;
const HUD_Z = -70;
const FLOATS = 8;

// printf's %.2f of a 32-bit float
const fixed2 = (v) => Number(v).toFixed(2);

export class Hud {
  // font: the parsed font file, or null (then nothing is drawn, as in the editor)
  constructor(renderer, font) {
    this.renderer = renderer;
    this.font = font;
    const gl = renderer.gl;
    this.buffer = gl.createBuffer();
    this.frameTimeMin = 200;
    this.frameTimeMax = 0;
    if (!font) return;
    this.texture = gl.createTexture();
    gl.bindTexture(gl.TEXTURE_2D, this.texture);
    gl.pixelStorei(gl.UNPACK_ALIGNMENT, 1);
    gl.texImage2D(gl.TEXTURE_2D, 0, gl.LUMINANCE_ALPHA, font.width, font.height, 0, gl.LUMINANCE_ALPHA,
      gl.UNSIGNED_BYTE, font.image);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.LINEAR);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.LINEAR);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);
  }

  // The statistics window closes every 60 frames: the extremes start again
  resetWindow() {
    this.frameTimeMax = 0;
    this.frameTimeMin = 200;
  }

  // The eight lines for this frame; s = { fps, objects, camera, frameMs, lastHit }
  lines(s) {
    const t = s.frameMs;
    if (t < this.frameTimeMin) this.frameTimeMin = t;
    if (t > this.frameTimeMax) this.frameTimeMax = t;
    const perSecond = (ms) => (ms > 0 ? Math.floor(1000 / ms) : 0);
    const c = s.camera;
    return [
      s.fpsText,
      'Polygons: 0',
      `Solidos: ${s.objects}`,
      `CamPos: ${fixed2(c[0])} ${fixed2(c[1])} ${fixed2(c[2])}`,
      `CamYaw Pitch Roll: ${fixed2(c[3])} ${fixed2(c[4])} ${fixed2(c[5])}`,
      `MAX: ${this.frameTimeMax}   MIN: ${this.frameTimeMin}`,
      `FMIN: ${perSecond(this.frameTimeMax)}   FMAY ${perSecond(this.frameTimeMin)}`,
      `Object Selected: ${s.lastHit}`,
    ];
  }

  // The quads of one line of text at (x, y, z)
  quads(text, x, y, z, out) {
    const f = this.font;
    for (const ch of text) {
      let code = ch.charCodeAt(0);
      if (code > 127) code -= 256;   // the editor takes characters as signed bytes
      const g = f.glyphs[code - f.first];
      if (code < f.first || code > f.last || !g) continue;
      const corners = [[x + g.dx, y, g.tx2, g.ty1], [x + g.dx, y - g.dy, g.tx2, g.ty2], [x, y - g.dy, g.tx1, g.ty2],
        [x, y, g.tx1, g.ty1]];
      for (const k of [0, 1, 2, 0, 2, 3]) out.push(corners[k][0], corners[k][1], z, 0, 0, 1, corners[k][2], corners[k][3]);
      x += g.dx;
    }
  }

  // Draws the lines over the picture the renderer has just drawn
  draw(lines) {
    if (!this.font) return;
    const r = this.renderer;
    const gl = r.gl;
    const data = [];
    lines.forEach((text, i) => this.quads(text, HUD_X, LINE_Y[i], HUD_Z, data));
    if (data.length === 0) return;
    gl.bindBuffer(gl.ARRAY_BUFFER, this.buffer);
    gl.bufferData(gl.ARRAY_BUFFER, new Float32Array(data), gl.DYNAMIC_DRAW);
    r.pointAt(this.buffer, 0);
    gl.disableVertexAttribArray(3);
    r.setModelView(M.identity());
    gl.uniformMatrix4fv(r.u.uTextureMatrix, false, new Float32Array(M.identity()));
    gl.uniform1i(r.u.uLighting, 0);
    gl.uniform4fv(r.u.uColor, [1, 1, 1, 1]);
    gl.uniform1i(r.u.uFog, 0);
    gl.uniform1i(r.u.uPlaneCull, 0);
    gl.uniform1i(r.u.uTextured, 1);
    gl.uniform1i(r.u.uLuminanceAlpha, 1);
    gl.bindTexture(gl.TEXTURE_2D, this.texture);
    gl.disable(gl.DEPTH_TEST);
    gl.disable(gl.CULL_FACE);
    gl.enable(gl.BLEND);
    gl.drawArrays(gl.TRIANGLES, 0, data.length / FLOATS);
    gl.enable(gl.DEPTH_TEST);
    gl.uniform1i(r.u.uLuminanceAlpha, 0);
    r.prepared = null;
  }
}
