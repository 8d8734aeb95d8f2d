/**********************************************************************************************
*
*   export_gltf - the loaded scene as a glTF 2.0 file
*
**********************************************************************************************/
#include "export_gltf.h"

#include "atomic_output.h"
#include "export_extras.h"
#include "export_material.h"
#include "export_mesh.h"
#include "materials.h"
#include "objects.h"

#include <tiny_gltf.h>   // Required for: tinygltf::Model, tinygltf::TinyGLTF

#include <algorithm>   // Required for: std::find()
#include <cerrno>      // Required for: errno
#include <cmath>       // Required for: cos(), sin()
#include <cstdio>      // Required for: rename(), remove()
#include <cstring>     // Required for: memcpy(), strerror()
#include <map>         // Required for: the material and texture lookups
#include <sstream>     // Required for: the .glb bytes before they are written
#include <unistd.h>    // Required for: rmdir()
#include <utility>     // Required for: std::pair

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------

// glTF enumerations
static const int ARRAY_BUFFER = 34962;
static const int ELEMENT_ARRAY_BUFFER = 34963;
static const int CLAMP_TO_EDGE = 33071;
static const int LINEAR = 9729;
static const int NEAREST_MIPMAP_LINEAR = 9986;   // OpenGL's default minifying filter, as the editor draws
static const double PI = 3.14159265358979323846;

// The model being built, with the lookups that keep materials and images single
struct Builder {
    tinygltf::Model model;
    std::map<std::pair<const material_record *, bool>, int> materials;   // (material, double-sided) -> index
    std::map<std::string, int> textures;                                 // bitmap path -> texture index
    std::string error;
};

//----------------------------------------------------------------------------------
// Private helpers: buffer, views and accessors
//----------------------------------------------------------------------------------

// Appends bytes to the one buffer as a new view (4-byte aligned); returns the view index
static int addView(Builder &b, const void *bytes, size_t size, int target)
{
    std::vector<unsigned char> &data = b.model.buffers[0].data;
    while (data.size() % 4 != 0) data.push_back(0);
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = data.size();
    view.byteLength = size;
    view.target = target;
    const unsigned char *from = static_cast<const unsigned char *>(bytes);
    data.insert(data.end(), from, from + size);
    b.model.bufferViews.push_back(view);
    return (int)b.model.bufferViews.size() - 1;
}

// A float accessor of VEC2 or VEC3 elements; returns its index
static int addFloatAccessor(Builder &b, const std::vector<float> &values, int components, const float *min = nullptr,
                            const float *max = nullptr)
{
    tinygltf::Accessor accessor;
    accessor.bufferView = addView(b, values.data(), values.size() * sizeof(float), ARRAY_BUFFER);
    accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
    accessor.count = values.size() / (size_t)components;
    accessor.type = components == 2 ? TINYGLTF_TYPE_VEC2 : TINYGLTF_TYPE_VEC3;
    if (min != nullptr && max != nullptr) {
        accessor.minValues.assign(min, min + components);
        accessor.maxValues.assign(max, max + components);
    }
    b.model.accessors.push_back(accessor);
    return (int)b.model.accessors.size() - 1;
}

// An index accessor; returns its index
static int addIndexAccessor(Builder &b, const std::vector<uint32_t> &indices)
{
    tinygltf::Accessor accessor;
    accessor.bufferView = addView(b, indices.data(), indices.size() * sizeof(uint32_t), ELEMENT_ARRAY_BUFFER);
    accessor.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
    accessor.count = indices.size();
    accessor.type = TINYGLTF_TYPE_SCALAR;
    b.model.accessors.push_back(accessor);
    return (int)b.model.accessors.size() - 1;
}

//----------------------------------------------------------------------------------
// Private helpers: materials and textures
//----------------------------------------------------------------------------------

// The texture of a bitmap, its PNG embedded on first use; -1 (error set) when unreadable
static int textureFor(Builder &b, const std::string &path)
{
    auto known = b.textures.find(path);
    if (known != b.textures.end()) return known->second;

    std::vector<unsigned char> png;
    if (!bitmapAsPng(path, png, b.error)) return -1;
    tinygltf::Image image;
    image.name = path;
    image.mimeType = "image/png";
    image.bufferView = addView(b, png.data(), png.size(), 0);
    b.model.images.push_back(image);

    if (b.model.samplers.empty()) {
        tinygltf::Sampler sampler;
        sampler.magFilter = LINEAR;
        sampler.minFilter = NEAREST_MIPMAP_LINEAR;
        sampler.wrapS = CLAMP_TO_EDGE;
        sampler.wrapT = CLAMP_TO_EDGE;
        b.model.samplers.push_back(sampler);
    }
    tinygltf::Texture texture;
    texture.source = (int)b.model.images.size() - 1;
    texture.sampler = 0;
    b.model.textures.push_back(texture);
    const int index = (int)b.model.textures.size() - 1;
    b.textures[path] = index;
    return index;
}

// The texture scale as KHR_texture_transform (the offset keeps the image's bottom row where
// the editor's texture matrix leaves it)
static void addTextureTransform(Builder &b, tinygltf::TextureInfo &info, const texture_block &block)
{
    if (block.TEXscaleX == 1.0f && block.TEXscaleY == 1.0f) return;
    tinygltf::Value::Object transform;
    transform["scale"] = tinygltf::Value(tinygltf::Value::Array{tinygltf::Value((double)block.TEXscaleX),
                                                                 tinygltf::Value((double)block.TEXscaleY)});
    transform["offset"] = tinygltf::Value(
        tinygltf::Value::Array{tinygltf::Value(0.0), tinygltf::Value(1.0 - (double)block.TEXscaleY)});
    info.extensions["KHR_texture_transform"] = tinygltf::Value(transform);
    std::vector<std::string> &used = b.model.extensionsUsed;
    if (std::find(used.begin(), used.end(), "KHR_texture_transform") == used.end())
        used.push_back("KHR_texture_transform");
}

// The glTF material of a scene material, drawn single- or double-sided; -1 on a bitmap error
static int materialFor(Builder &b, const material_record *material, bool doubleSided)
{
    auto known = b.materials.find({material, doubleSided});
    if (known != b.materials.end()) return known->second;

    const PbrValues values = pbrValuesOf(material);
    tinygltf::Material out;
    out.name = material != nullptr ? material->name : DEFAULT_MATERIAL_NAME;
    out.pbrMetallicRoughness.baseColorFactor.assign(values.baseColor, values.baseColor + 4);
    out.pbrMetallicRoughness.metallicFactor = values.metallic;
    out.pbrMetallicRoughness.roughnessFactor = values.roughness;
    out.emissiveFactor.assign(values.emissive, values.emissive + 3);
    out.alphaMode = values.blend ? "BLEND" : "OPAQUE";
    out.doubleSided = doubleSided;
    out.extras = materialExtras(material);

    const std::string bitmap = firstBitmapOf(material);
    if (!bitmap.empty()) {
        const int texture = textureFor(b, bitmap);
        if (texture < 0) {
            b.error = "material '" + out.name + "': " + b.error;
            return -1;
        }
        out.pbrMetallicRoughness.baseColorTexture.index = texture;
        addTextureTransform(b, out.pbrMetallicRoughness.baseColorTexture, *material->texture);
    }
    b.model.materials.push_back(out);
    const int index = (int)b.model.materials.size() - 1;
    b.materials[{material, doubleSided}] = index;
    return index;
}

//----------------------------------------------------------------------------------
// Private helpers: nodes and meshes
//----------------------------------------------------------------------------------

// Quaternion (x, y, z, w) of the rotation about one axis (0 X, 1 Y, 2 Z) by degrees
static std::vector<double> axisQuaternion(int axis, double degrees)
{
    const double half = degrees * PI / 360.0;
    std::vector<double> q = {0.0, 0.0, 0.0, cos(half)};
    q[axis] = sin(half);
    return q;
}

// Product a x b of two quaternions (x, y, z, w)
static std::vector<double> multiply(const std::vector<double> &a, const std::vector<double> &b)
{
    return {a[3] * b[0] + a[0] * b[3] + a[1] * b[2] - a[2] * b[1],
            a[3] * b[1] - a[0] * b[2] + a[1] * b[3] + a[2] * b[0],
            a[3] * b[2] + a[0] * b[1] - a[1] * b[0] + a[2] * b[3],
            a[3] * b[3] - a[0] * b[0] - a[1] * b[1] - a[2] * b[2]};
}

// The mesh of one object; -1 when it draws nothing, -2 on a bitmap error
static int addMesh(Builder &b, const primitiva *object, const std::string &name)
{
    const material_record *objectMaterial = find_material(first_material_name(object));
    if (objectMaterial == nullptr) objectMaterial = find_material(DEFAULT_MATERIAL_NAME);
    const ObjectMesh mesh = buildObjectMesh(object, objectMaterial);
    if (mesh.parts.empty()) return -1;

    const int position = addFloatAccessor(b, mesh.positions, 3, mesh.min, mesh.max);
    const int normal = addFloatAccessor(b, mesh.normals, 3);
    int texcoord = -1;
    tinygltf::Mesh out;
    out.name = name;
    for (const MeshPart &part : mesh.parts) {
        tinygltf::Primitive primitive;
        primitive.attributes["POSITION"] = position;
        primitive.attributes["NORMAL"] = normal;
        if (!firstBitmapOf(part.material).empty()) {
            if (texcoord < 0) texcoord = addFloatAccessor(b, mesh.texcoords, 2);
            primitive.attributes["TEXCOORD_0"] = texcoord;
        }
        primitive.indices = addIndexAccessor(b, part.indices);
        primitive.mode = part.lines ? TINYGLTF_MODE_LINE : TINYGLTF_MODE_TRIANGLES;
        primitive.material = materialFor(b, part.material, part.doubleSided);
        if (primitive.material < 0) return -2;
        out.primitives.push_back(primitive);
    }
    b.model.meshes.push_back(out);
    return (int)b.model.meshes.size() - 1;
}

// The node of the object in slot index; 0 on a bitmap error
static int addObjectNode(Builder &b, int index)
{
    const primitiva *object = object_at(index);
    tinygltf::Node node;
    node.name = "P" + std::to_string(index);
    node.translation = {object->pose.x, object->pose.y, object->pose.z};
    // NOTE: the editor draws with glRotate yaw about Y, then pitch about X, then roll about Z
    std::vector<double> q = multiply(multiply(axisQuaternion(1, object->pose.yaw), axisQuaternion(0, object->pose.pitch)),
                                     axisQuaternion(2, object->pose.roll));
    if (q[0] != 0.0 || q[1] != 0.0 || q[2] != 0.0) node.rotation = q;
    node.extras = objectExtras(object, slot_event_set(index));
    node.mesh = addMesh(b, object, node.name);
    if (node.mesh == -2) return 0;
    b.model.nodes.push_back(node);
    b.model.scenes[0].nodes.push_back((int)b.model.nodes.size() - 1);
    return 1;
}

// Every material of the table, single-sided, in table order (objects add their variants)
static int addTableMaterials(Builder &b)
{
    hash_table *table = material_table();
    if (table == nullptr) return 1;
    hash_iterator it = {};
    const unsigned char *key = nullptr;
    uint32_t length = 0;
    for (hash_table_first(table, &it, &key, &length); key != nullptr; hash_table_next(table, &it, &key, &length)) {
        const material_record *material = find_material(std::string((const char *)key, length).c_str());
        if (material != nullptr && materialFor(b, material, false) < 0) return 0;
    }
    return 1;
}

//----------------------------------------------------------------------------------
// Private helpers: files
//----------------------------------------------------------------------------------

static bool endsWith(const std::string &text, const std::string &tail)
{
    return text.size() > tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Writes the model into a scratch directory beside path and renames the files into place
// (the .gltf's .bin first, so the main file never names a missing buffer)
static bool writeModel(tinygltf::Model &model, const std::string &path, bool binary, std::string &error)
{
    const std::string dir = parentOf(path);
    const std::string base = lastPartOf(path);
    const std::string scratch = makeScratchDir(dir, ".stageworks-export-", error);
    if (scratch.empty()) return false;

    std::vector<std::string> names = {base};
    tinygltf::TinyGLTF writer;
    bool written = false;
    if (binary) {
        std::ostringstream out;
        written = writer.WriteGltfSceneToStream(&model, out, false, true);
        if (written) written = writeFileSynced(scratch + "/" + base, out.str(), error);
    } else {
        if (!model.buffers.empty()) {
            const std::string bin = base.substr(0, base.size() - 5) + ".bin";
            model.buffers[0].uri = bin;
            names.insert(names.begin(), bin);
        }
        written = writer.WriteGltfSceneToFile(&model, scratch + "/" + base, false, false, true, false);
        for (const std::string &name : names) written = written && syncPath(scratch + "/" + name);
    }
    if (!written && error.empty()) error = "cannot write '" + path + "'";
    for (const std::string &name : names) {
        if (written && rename((scratch + "/" + name).c_str(), (dir + "/" + name).c_str()) != 0) {
            error = "cannot rename the new file to '" + dir + "/" + name + "': " + strerror(errno);
            written = false;
        }
        remove((scratch + "/" + name).c_str());
    }
    rmdir(scratch.c_str());
    // NOTE: the renames themselves reach the disk with the directory
    if (written) syncPath(dir);
    return written;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
bool exportPathAccepted(const std::string &path) { return endsWith(path, ".glb") || endsWith(path, ".gltf"); }

int exportScene(const std::string &path, std::string &error)
{
    const bool binary = endsWith(path, ".glb");
    if (!exportPathAccepted(path)) {
        error = "the output file must end in .glb or .gltf: '" + path + "'";
        return 0;
    }

    Builder b;
    b.model.asset.version = "2.0";
    b.model.asset.generator = std::string("stageworks-export ") + SW_VERSION;
    b.model.buffers.resize(1);
    b.model.scenes.resize(1);
    b.model.defaultScene = 0;
    b.model.scenes[0].name = "escena";
    b.model.scenes[0].extras = sceneExtras();

    bool ok = addTableMaterials(b) != 0;
    for (int i = 0; ok && i < object_count(); i++) ok = addObjectNode(b, i) != 0;
    if (!ok) {
        error = b.error;
        return 0;
    }
    // NOTE: a scene without objects or materials still makes a valid (empty) file
    if (b.model.buffers[0].data.empty()) b.model.buffers.clear();
    return writeModel(b.model, path, binary, error) ? 1 : 0;
}
