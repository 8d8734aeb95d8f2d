/**********************************************************************************************
*
*   scene_state - what the renderer draws from: poses, materials and the usage table
*
*   The scene's materials with their animation state (frame shown, time of the last switch,
*   texture turn), every object's pose and material, and the material usage table the
*   editor draws from: one entry per material, each listing its objects in the order they
*   were added. A material change in play moves the object to the end of its new material's
*   list, as the editor's assign_material does, so the drawing order stays the editor's.
*
*   DEPENDENCIES: none (scene.json as loaded)
*
**********************************************************************************************/

// The name of the material an object without a known one is drawn in
const DEFAULT_MATERIAL_NAME = '(default)';

export class SceneState {
  // From scene.json: behaviour fields (poses, material names) and render fields
  constructor(scene) {
    const render = scene.render;
    this.materials = render.materials.map((m) => ({
      ...m, currentFrame: 0, lastSwitch: 0, turn: Array.isArray(m.turn) ? [...m.turn] : [0, 0, 0],
    }));
    this.byName = new Map(this.materials.map((m) => [m.name, m]));
    this.usage = render.usage.map((e) => ({
      name: e.name, material: e.material >= 0 ? this.materials[e.material] : null, users: [...e.users],
    }));
    this.geometry = new Map(render.objects.map((o) => [o.slot, o]));
    this.poses = new Map();
    this.materialOf = new Map();
    this.hasEvents = new Map();
    this.nameBase = new Map();
    for (const o of scene.objects ?? []) {
      this.poses.set(o.slot, Float32Array.from(o.pose ?? [0, 0, 0, 0, 0, 0]));
      this.materialOf.set(o.slot, (o.materials ?? [])[0]);
      this.hasEvents.set(o.slot, Array.isArray(o.events) && o.events.length > 0);
      if (Number.isInteger(o.nameBase)) this.nameBase.set(o.slot, o.nameBase);
    }
    this.slots = [...this.geometry.keys()].sort((a, b) => a - b);
  }

  // The usage entry named name: the last of several; for a name no entry carries (or none),
  // that of the default material, as the editor draws such an object in it (entry 0 when no
  // entry carries that either)
  usageIndexOf(name) {
    let found = -1;
    let fallback = 0;
    this.usage.forEach((entry, i) => {
      if (name !== undefined && name !== null && entry.name === name) found = i;
      if (entry.name === DEFAULT_MATERIAL_NAME) fallback = i;
    });
    return found >= 0 ? found : fallback;
  }

  // The object takes another material: it leaves its entry's list and joins the end of the
  // new one's (nothing when the name is the same)
  assignMaterial(slot, name) {
    const old = this.materialOf.get(slot);
    if (old === name) return;
    const from = this.usage[this.usageIndexOf(old)];
    if (from) {
      const at = from.users.indexOf(slot);
      if (at >= 0) from.users.splice(at, 1);
    }
    this.materialOf.set(slot, name);
    const to = this.usage[this.usageIndexOf(name)];
    if (to) to.users.push(slot);
  }

  setPose(slot, pose) {
    this.poses.set(slot, Float32Array.from(pose));
  }

  // Takes over what the engine changed in its last frame: poses, materials, texture turns
  takeFromEngine(engine) {
    for (const slot of engine.changedObjects()) {
      this.setPose(slot, engine.pose(slot));
      this.assignMaterial(slot, engine.material(slot));
    }
    for (const m of this.materials) {
      if (!m.textured) continue;
      const turn = engine.textureTurn(m.name);
      if (turn === undefined || turn === null) continue;
      m.turn = typeof turn === 'number' ? [0, 0, turn] : Array.from(turn);
    }
  }

  // The frame a textured material shows at time now (ms), advancing its animation as the
  // editor does once per drawn material: -1 for none
  frameIndex(material, now) {
    if (!material.textured || !material.frames || material.frames.length === 0 || material.multiple === 1) return -1;
    if (material.multiple < 1) return 0;
    if (now > material.lastSwitch + material.milTime) {
      material.currentFrame++;
      if (material.currentFrame >= material.multiple) material.currentFrame = 1;
      material.lastSwitch = now;
    }
    return Math.max(material.currentFrame, 1) - 1;
  }
}
