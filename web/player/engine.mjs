/**********************************************************************************************
*
*   engine - the scene's behaviour in the page: the program's own event engine, compiled for
*   the browser (stageworks-engine.mjs and .wasm beside this file)
*
*   createEngine() loads it; load(scene) builds its tables from scene.json's behaviour fields;
*   then each display frame is beginFrame(), activate(slot) for a click, endFrame() (or
*   frame(slot) for the three), with key(), character() and mouseLook() for the input in
*   between (special keys and typed characters come apart, as GLUT gives them). The page
*   draws the poses, materials and texture turns it reads back.
*
*   DEPENDENCIES: stageworks-engine.mjs (the compiled engine)
*
**********************************************************************************************/
import createStageworksEngine from './stageworks-engine.mjs';

//----------------------------------------------------------------------------------
// Private helpers: checking the scene
//----------------------------------------------------------------------------------

// Throws when value is not a finite number (or an integer, when asked)
function number(value, where, integer = false) {
  if (typeof value !== 'number' || !Number.isFinite(value) || (integer && !Number.isInteger(value))) {
    throw new Error(`scene.json: ${where} is not ${integer ? 'an integer' : 'a number'}`);
  }
  return value;
}

// A 32-bit integer (the engine's ints)
function int32(value, where) {
  number(value, where, true);
  if (value < -2147483648 || value > 2147483647) throw new Error(`scene.json: ${where} is out of range`);
  return value;
}

function text(value, where) {
  if (typeof value !== 'string') throw new Error(`scene.json: ${where} is not a text`);
  return value;
}

function list(value, where) {
  if (!Array.isArray(value)) throw new Error(`scene.json: ${where} is not a list`);
  return value;
}

// A pose of six numbers
function pose(value, where) {
  const values = list(value, where);
  if (values.length !== 6) throw new Error(`scene.json: ${where} does not have six numbers`);
  values.forEach((v, i) => number(v, `${where}[${i}]`));
  return values;
}

//----------------------------------------------------------------------------------
// Private helpers: the compiled engine's memory
//----------------------------------------------------------------------------------

// A copy of count floats at a pointer (null pointer: null)
function floatsAt(module, pointer, count) {
  if (pointer === 0) return null;
  return new Float32Array(module.HEAPF32.buffer, pointer, count).slice();
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The engine, ready to load a scene. options.wasmBinary gives the compiled engine's bytes
// where it cannot be fetched beside this file (node)
export async function createEngine(options = {}) {
  const module = await createStageworksEngine({ ...options });
  const call = (name, returns, types) => module.cwrap(name, returns, types);
  const api = {
    begin: call('sw_engine_begin', null, []),
    addFlag: call('sw_engine_add_flag', null, ['string', 'number']),
    addMaterial: call('sw_engine_add_material', null, ['string', 'number', 'number']),
    addMaterialFrame: call('sw_engine_add_material_frame', null, ['string']),
    addObject: call('sw_engine_add_object', null, Array(7).fill('number')),
    addObjectMaterial: call('sw_engine_add_object_material', null, ['string']),
    addCondition: call('sw_engine_add_condition', null, ['number', 'number', 'number', 'string']),
    addConsequence: call('sw_engine_add_consequence', null, ['number', 'number', 'number', 'number', 'number', 'string']),
    setStartCamera: call('sw_engine_set_start_camera', null, Array(6).fill('number')),
    end: call('sw_engine_end', 'string', []),
    setCamera: call('sw_engine_set_camera', null, Array(6).fill('number')),
    material: call('sw_engine_material', 'number', ['number']),
    textureTurn: call('sw_engine_texture_turn', 'number', ['string']),
  };

  // Stages one object with its materials and events
  function stageObject(object, i) {
    const where = `objects[${i}]`;
    const p = pose(object.pose, `${where}.pose`);
    api.addObject(int32(object.kind, `${where}.kind`), ...p);
    list(object.materials ?? [], `${where}.materials`).forEach((name, k) => api.addObjectMaterial(text(name, `${where}.materials[${k}]`)));
    list(object.events ?? [], `${where}.events`).forEach((event, e) => {
      const at = `${where}.events[${e}]`;
      const slot = int32(event.slot, `${at}.slot`);
      list(event.conditions ?? [], `${at}.conditions`).forEach((c, k) => {
        const w = `${at}.conditions[${k}]`;
        api.addCondition(slot, int32(c.kind, `${w}.kind`), int32(c.a ?? 0, `${w}.a`), text(c.name ?? '', `${w}.name`));
      });
      list(event.consequences ?? [], `${at}.consequences`).forEach((c, k) => {
        const w = `${at}.consequences[${k}]`;
        api.addConsequence(slot, int32(c.kind, `${w}.kind`), int32(c.a ?? 0, `${w}.a`), int32(c.b ?? 0, `${w}.b`),
          int32(c.c ?? 0, `${w}.c`), text(c.name ?? '', `${w}.name`));
      });
    });
  }

  return {
    // Builds the engine's tables from scene.json's behaviour fields (play mode ends); throws
    // Error(message) for a scene they do not make, leaving the engine as it was
    load(scene) {
      api.begin();
      try {
        if (scene === null || typeof scene !== 'object') throw new Error('scene.json: not an object');
        list(scene.flags ?? [], 'flags').forEach((flag, i) => api.addFlag(text(flag.name, `flags[${i}].name`), int32(flag.value, `flags[${i}].value`)));
        list(scene.materials ?? [], 'materials').forEach((material, i) => {
          const where = `materials[${i}]`;
          // NOTE: a material without "multiple" has no texture block (-1 to the engine)
          const multiple = material.multiple === undefined ? -1 : int32(material.multiple, `${where}.multiple`);
          if (multiple < -1) throw new Error(`scene.json: ${where}.multiple is negative`);
          api.addMaterial(text(material.name, `${where}.name`), int32(material.texturado ?? 0, `${where}.texturado`), multiple);
          list(material.frames ?? [], `${where}.frames`).forEach((frame, k) => api.addMaterialFrame(text(frame, `${where}.frames[${k}]`)));
        });
        list(scene.objects ?? [], 'objects').forEach(stageObject);
        api.setStartCamera(...pose(scene.camera, 'camera'));
      } catch (error) {
        api.begin();
        throw error;
      }
      const error = api.end();
      if (error !== '') throw new Error(`scene.json: ${error}`);
    },
    startPlay() { module._sw_engine_start_play(); },
    stopPlay() { module._sw_engine_stop_play(); },
    playing() { return module._sw_engine_playing() === 1; },
    key(code, pressed) { module._sw_engine_key(code | 0, pressed ? 1 : 0); },
    character(code) { module._sw_engine_character(code | 0); },
    mouseLook(dx, dy) { module._sw_engine_mouse_look(dx | 0, dy | 0); },
    setCamera(values) { api.setCamera(...pose(Array.from(values), 'camera pose')); },
    beginFrame() { module._sw_engine_begin_frame(); },
    activate(slot) { module._sw_engine_activate(slot | 0); },
    endFrame() { module._sw_engine_end_frame(); },
    frame(slot = -1) {
      module._sw_engine_begin_frame();
      if (slot >= 0) module._sw_engine_activate(slot | 0);
      module._sw_engine_end_frame();
    },
    camera() { return floatsAt(module, module._sw_engine_camera(), 6); },
    fieldOfView() { return module._sw_engine_field_of_view(); },
    objectCount() { return module._sw_engine_object_count(); },
    pose(slot) { return floatsAt(module, module._sw_engine_pose(slot | 0), 6); },
    material(slot) {
      const pointer = api.material(slot | 0);
      return pointer === 0 ? null : module.UTF8ToString(pointer);
    },
    textureTurn(name) { return floatsAt(module, api.textureTurn(String(name)), 3); },
    changedObjects() {
      const count = module._sw_engine_changed_count();
      return count === 0 ? new Int32Array(0) : new Int32Array(module.HEAP32.buffer, module._sw_engine_changed_objects(), count).slice();
    },
    state() { return JSON.parse(this.stateText()); },
    // The same as JSON text, its floats with nine significant digits: equal texts are equal
    // bits (-0 included), which the parsed numbers do not always show
    stateText() { return module.UTF8ToString(module._sw_engine_state()); },
  };
}
