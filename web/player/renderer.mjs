/**********************************************************************************************
*
*   renderer - one frame of the scene as stageworks draws it
*
*   The whole canvas is cleared with the editor's clear colour; the picture keeps its 4:3
*   shape, centred in the canvas. The scene is drawn material by material in the order of
*   the usage table, each object placed by its pose (translation, yaw, pitch, roll) under the
*   camera's view; an opaque material is drawn without blending, a see-through one blended
*   (source alpha, one minus source alpha), and the sky box with the sun goes in just before
*   the first see-through material (or after everything), where the editor draws it. Faces
*   are culled (clockwise fronts) except those the editor draws from both sides; wire-frame
*   objects are drawn as lines. The sun is drawn in a complete material of its own (the
*   editor's yellowish diffuse colour, the default material's other values), whatever
*   material was applied before it.
*
*   DEPENDENCIES: matrix, shaders, sky, scene_state (the state drawn)
*
**********************************************************************************************/
import * as M from './matrix.mjs';
import { makeProgram, MAX_LIGHTS } from './shaders.mjs';
import { skyBoxVertices, sunVertices, VERTEX_FLOATS } from './sky.mjs';

// OpenGL's material before the first one is applied
const GL_DEFAULT_MATERIAL = {
  ambient: [0.2, 0.2, 0.2, 1], diffuse: [0.8, 0.8, 0.8, 1], specular: [0, 0, 0, 1], emission: [0, 0, 0, 1], shininess: 0,
};
const STRIDE = VERTEX_FLOATS * 4;
const WHITE = [1, 1, 1, 1];
const PI_SINGLE = Math.fround(3.141592653);

// The 4:3 picture inside a canvas of width x height (as the editor places its screen)
export function pictureRect(width, height) {
  const w = Math.max(1, width), h = Math.max(1, height);
  const scaled = (v, num, den) => Math.floor((v * num + Math.floor(den / 2)) / den);
  let pw, ph;
  if (w * 768 > h * 1024) {
    ph = h;
    pw = scaled(h, 1024, 768);
  } else {
    pw = w;
    ph = scaled(w, 768, 1024);
  }
  pw = Math.max(1, pw);
  ph = Math.max(1, ph);
  return { x: Math.floor((w - pw) / 2), y: Math.floor((h - ph) / 2), width: pw, height: ph };
}

export class Renderer {
  // gl: a WebGL context; data: the loaded folder (scene, geometry, textures)
  constructor(gl, data) {
    this.gl = gl;
    this.render = data.scene.render;
    const { program, uniforms } = makeProgram(gl);
    this.program = program;
    this.u = uniforms;
    this.boundWrap = new Map();
    gl.useProgram(program);
    gl.disable(gl.DITHER);
    gl.enable(gl.DEPTH_TEST);
    gl.depthFunc(gl.LESS);
    gl.frontFace(gl.CW);
    gl.cullFace(gl.BACK);
    gl.blendFunc(gl.SRC_ALPHA, gl.ONE_MINUS_SRC_ALPHA);
    gl.pixelStorei(gl.UNPACK_ALIGNMENT, 1);

    this.vertexBuffer = this.upload(gl.ARRAY_BUFFER, data.geometry.vertices);
    this.planeBuffer = this.upload(gl.ARRAY_BUFFER, data.geometry.planes.length ? data.geometry.planes : new Float32Array(4));
    this.indexBuffer = this.upload(gl.ELEMENT_ARRAY_BUFFER, data.geometry.indices.length ? data.geometry.indices : new Uint32Array(1));
    const sky = skyBoxVertices(this.render.sky.edge);
    const sun = this.render.sun;
    const sphere = sunVertices(sun.radius, sun.slices, sun.stacks);
    const extra = new Float32Array(sky.length + sphere.length);
    extra.set(sky);
    extra.set(sphere, sky.length);
    this.extraBuffer = this.upload(gl.ARRAY_BUFFER, extra);
    this.sunFirst = sky.length / VERTEX_FLOATS;
    this.sunCount = sphere.length / VERTEX_FLOATS;
    this.textures = data.textures.map((levels) => this.makeTexture(levels));
    this.white = this.makeTexture([{ width: 1, height: 1, rgb: new Uint8Array([255, 255, 255]) }]);
    this.fixedLights();
  }

  upload(target, array) {
    const gl = this.gl;
    const buffer = gl.createBuffer();
    gl.bindBuffer(target, buffer);
    gl.bufferData(target, array, gl.STATIC_DRAW);
    return buffer;
  }

  // A texture with every mipmap level as given, OpenGL's default filters
  makeTexture(levels) {
    const gl = this.gl;
    const texture = gl.createTexture();
    gl.bindTexture(gl.TEXTURE_2D, texture);
    levels.forEach((level, i) => gl.texImage2D(gl.TEXTURE_2D, i, gl.RGB, level.width, level.height, 0, gl.RGB,
      gl.UNSIGNED_BYTE, level.rgb));
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, levels.length > 1 ? gl.NEAREST_MIPMAP_LINEAR : gl.NEAREST);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, levels.length > 1 ? gl.LINEAR : gl.NEAREST);
    return texture;
  }

  // The lights as placed once at start-up (eye coordinates) and their colours
  fixedLights() {
    const lights = this.render.lights.slice(0, MAX_LIGHTS);
    this.lights = lights;
    const gl = this.gl;
    const flat = (key) => new Float32Array(lights.flatMap((l) => l[key]));
    gl.uniform1i(this.u.uLightCount, lights.length);
    gl.uniform4fv(this.u.uLightAmbient, flat('ambient'));
    gl.uniform4fv(this.u.uLightDiffuse, flat('diffuse'));
    gl.uniform4fv(this.u.uLightSpecular, flat('specular'));
    gl.uniform4fv(this.u.uGlobalAmbient, this.render.globalAmbient);
    gl.uniform4fv(this.u.uFogColor, this.render.fog.color);
    gl.uniform1f(this.u.uFogDensity, this.render.fog.density);
    gl.uniform1i(this.u.uTexture, 0);
  }

  // The sun light's world position for the camera and the sun's angle, as the editor places it
  static sunPosition(camera, sunAngle, distance) {
    const a = Math.fround(Math.fround(Math.fround(sunAngle) * PI_SINGLE) / 180);
    return [Math.fround(camera[0] + Math.fround(Math.fround(Math.sin(a)) * distance)),
      Math.fround(camera[1] + Math.fround(Math.fround(Math.cos(a)) * distance)), camera[2]];
  }

  // The moving lights in eye coordinates: the one at the viewer and the sun
  placeLights(view, camera, sunAngle) {
    this.sunWorld = Renderer.sunPosition(camera, sunAngle, this.render.sun.distance);
    const positions = this.lights.map((l) => {
      if (l.placed === 'viewer') return M.transform(view, camera[0], camera[1], camera[2], 1);
      if (l.placed === 'sun') return M.transform(view, ...this.sunWorld, 1);
      return l.eyePosition;
    });
    this.gl.uniform4fv(this.u.uLightPosition, new Float32Array(positions.flat()));
  }

  applyMaterial(m) {
    const gl = this.gl;
    gl.uniform4fv(this.u.uMatAmbient, m.ambient);
    gl.uniform4fv(this.u.uMatDiffuse, m.diffuse);
    gl.uniform4fv(this.u.uMatSpecular, m.specular);
    gl.uniform4fv(this.u.uMatEmission, m.emission);
    gl.uniform1f(this.u.uShininess, Math.min(128, Math.max(0, m.shininess)));
  }

  // Binds a texture and sets its wrap (repeat or clamp) unless it has it already
  bindTexture(texture, repeat) {
    const gl = this.gl;
    gl.bindTexture(gl.TEXTURE_2D, texture);
    if (this.boundWrap.get(texture) === repeat) return;
    const wrap = repeat ? gl.REPEAT : gl.CLAMP_TO_EDGE;
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, wrap);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, wrap);
    this.boundWrap.set(texture, repeat);
  }

  // A textured material's frame bound with its texture matrix (once per run of its objects)
  prepareTexture(state, material, now) {
    if (this.prepared === material) return;
    this.prepared = material;
    if (!material || !material.textured) return;
    const index = state.frameIndex(material, now);
    const number = index >= 0 ? material.frames[index] : undefined;
    const texture = number !== undefined && this.textures[number] ? this.textures[number] : this.white;
    const [x, y, z] = material.turn;
    this.bindTexture(texture, x !== 0 || y !== 0 || z !== 0);
    let t = M.scale(M.identity(), material.scale[0], material.scale[1], 1);
    t = M.translate(t, 0.5, 0.5, 0);
    t = M.rotate(M.rotate(M.rotate(t, x, 1, 0, 0), y, 0, 1, 0), z, 0, 0, 1);
    t = M.translate(t, -0.5, -0.5, 0);
    this.gl.uniformMatrix4fv(this.u.uTextureMatrix, false, new Float32Array(t));
  }

  // Vertex attributes of a run of the given buffer from vertex first
  pointAt(buffer, first) {
    const gl = this.gl;
    gl.bindBuffer(gl.ARRAY_BUFFER, buffer);
    const base = first * STRIDE;
    gl.vertexAttribPointer(0, 3, gl.FLOAT, false, STRIDE, base);
    gl.vertexAttribPointer(1, 3, gl.FLOAT, false, STRIDE, base + 12);
    gl.vertexAttribPointer(2, 2, gl.FLOAT, false, STRIDE, base + 24);
  }

  setModelView(m) {
    this.gl.uniformMatrix4fv(this.u.uModelView, false, new Float32Array(m));
    this.gl.uniformMatrix3fv(this.u.uNormalMatrix, false, M.normalMatrix(m));
  }

  // The sky box and the sun, where the editor draws its background
  drawBackground(view, camera) {
    const gl = this.gl;
    const u = this.u;
    gl.disable(gl.BLEND);
    gl.disable(gl.CULL_FACE);
    gl.uniform1i(u.uFog, 0);
    gl.uniform1i(u.uPlaneCull, 0);
    gl.disableVertexAttribArray(3);
    this.pointAt(this.extraBuffer, 0);
    this.setModelView(M.translate(view, camera[0], camera[1], camera[2]));
    gl.uniformMatrix4fv(u.uTextureMatrix, false, new Float32Array(M.identity()));
    gl.uniform1i(u.uLighting, 0);
    gl.uniform4fv(u.uColor, WHITE);
    gl.uniform1i(u.uTextured, 1);
    this.render.sky.textures.forEach((number, face) => {
      this.bindTexture(this.textures[number] ?? this.white, true);
      gl.drawArrays(gl.TRIANGLES, face * 6, 6);
    });
    // the sun: lit, untextured, in a complete material of its own (whatever came before it)
    gl.uniform1i(u.uTextured, 0);
    gl.uniform1i(u.uLighting, 1);
    this.applyMaterial(this.render.sun.material);
    this.setModelView(M.translate(view, ...this.sunWorld));
    gl.drawArrays(gl.TRIANGLES, this.sunFirst, this.sunCount);
    gl.uniform1i(u.uFog, 1);
    this.prepared = null;
  }

  // One object with the material of its usage entry
  drawObject(state, slot, entryMaterial, view, now) {
    const gl = this.gl;
    const u = this.u;
    const g = state.geometry.get(slot);
    const pose = state.poses.get(slot);
    if (!g || !pose || g.parts.length === 0) return;
    this.prepareTexture(state, entryMaterial, now);
    const modelView = M.placeObject(view, pose);
    this.setModelView(modelView);
    this.pointAt(this.vertexBuffer, g.firstVertex);
    if (g.wireFrame) {
      gl.bindBuffer(gl.ARRAY_BUFFER, this.planeBuffer);
      gl.enableVertexAttribArray(3);
      gl.vertexAttribPointer(3, 4, gl.FLOAT, false, 16, g.firstPlane * 16);
      const eye = M.transform(M.inverseRigid(modelView), 0, 0, 0, 1);
      gl.uniform3f(u.uEyeInObject, eye[0], eye[1], eye[2]);
    } else {
      gl.disableVertexAttribArray(3);
    }
    for (const part of g.parts) {
      const material = (part.material && state.byName.get(part.material)) || entryMaterial || GL_DEFAULT_MATERIAL;
      this.applyMaterial(material);
      gl.uniform1i(u.uTextured, material.textured ? 1 : 0);
      if (material.opaque === false) gl.enable(gl.BLEND);
      else gl.disable(gl.BLEND);
      if (part.cull) gl.enable(gl.CULL_FACE);
      else gl.disable(gl.CULL_FACE);
      gl.uniform1i(u.uPlaneCull, part.lines && part.cull ? 1 : 0);
      gl.drawElements(part.lines ? gl.LINES : gl.TRIANGLES, part.count, gl.UNSIGNED_INT, (g.firstIndex + part.first) * 4);
    }
  }

  // The picture: view = { camera (pose), fieldOfView, sunAngle, now (ms), width, height }
  drawFrame(state, view) {
    const gl = this.gl;
    const u = this.u;
    gl.viewport(0, 0, view.width, view.height);
    gl.disable(gl.SCISSOR_TEST);
    gl.depthMask(true);
    gl.clearColor(...this.render.clearColor);
    gl.clear(gl.COLOR_BUFFER_BIT | gl.DEPTH_BUFFER_BIT);
    const rect = pictureRect(view.width, view.height);
    gl.viewport(rect.x, view.height - rect.y - rect.height, rect.width, rect.height);
    this.rect = rect;

    const p = this.render.projection;
    this.projection = M.perspective(view.fieldOfView, p.aspect, p.near, p.far);
    gl.uniformMatrix4fv(u.uProjection, false, new Float32Array(this.projection));
    const camera = view.camera;
    const viewMatrix = M.viewMatrix(camera);
    this.viewMatrix = viewMatrix;
    this.placeLights(viewMatrix, camera, view.sunAngle);

    gl.enableVertexAttribArray(0);
    gl.enableVertexAttribArray(1);
    gl.enableVertexAttribArray(2);
    gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, this.indexBuffer);
    gl.activeTexture(gl.TEXTURE0);
    gl.uniform1i(u.uLighting, 1);
    gl.uniform1i(u.uFog, 1);
    gl.uniform1i(u.uLuminanceAlpha, 0);
    this.prepared = null;
    let background = true;
    for (const entry of state.usage) {
      if (entry.users.length === 0) continue;
      if (background && entry.material && entry.material.opaque === false) {
        this.drawBackground(viewMatrix, camera);
        background = false;
      }
      for (const slot of entry.users) this.drawObject(state, slot, entry.material, viewMatrix, view.now);
    }
    if (background) this.drawBackground(viewMatrix, camera);
    gl.disableVertexAttribArray(3);
  }
}
