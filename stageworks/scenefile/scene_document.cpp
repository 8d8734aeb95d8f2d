/**********************************************************************************************
*
*   scene_document - reading a parsed scene document into plain records
*
**********************************************************************************************/
#include "scene_document.h"

#include "events.h"
#include "parameters.h"
#include "scene_file.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdint>  // Required for: uint64_t
#include <cstdio>
#include <cstdlib>
#include <cstring>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
namespace {

// The state of one reading: the first reason to refuse the document, the faces the objects
// ask for so far and the position of the object being read
struct Reader {
    std::string error;
    long long faces = 0;
    int object = -1;
};

// A walk over the element children of one element, in document order
struct Children {
    const xmlNode *parent;
    const xmlNode *next;
};

//----------------------------------------------------------------------------------
// Private helpers: refusing
//----------------------------------------------------------------------------------

// True once a reason to refuse the document was found
bool failed(const Reader &r) { return !r.error.empty(); }

// Keeps the first reason to refuse the document (with the object it was found in)
__attribute__((format(printf, 2, 3))) void refuse(Reader &r, const char *format, ...)
{
    if (failed(r)) return;
    char text[512];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    r.error = text;
    if (r.object >= 0) {
        snprintf(text, sizeof text, " (object %d)", r.object);
        r.error += text;
    }
}

// An element name for a message, cut to a readable length
std::string shownName(const xmlNode *node)
{
    std::string name = (node != nullptr && node->name != nullptr) ? (const char *)node->name : "";
    if (name.size() > 40) name = name.substr(0, 40) + "...";
    return name;
}

//----------------------------------------------------------------------------------
// Private helpers: walking the children
//----------------------------------------------------------------------------------

// True for an element of that name (false for none)
bool isNamed(const xmlNode *node, const char *name)
{
    return node != nullptr && strcmp((const char *)node->name, name) == 0;
}

// The first element at or after node (text, comments and the like are passed over)
const xmlNode *elementFrom(const xmlNode *node)
{
    while (node != nullptr && node->type != XML_ELEMENT_NODE) node = node->next;
    return node;
}

// A walk from the first element child of parent
Children childrenOf(const xmlNode *parent) { return Children{parent, elementFrom(parent->children)}; }

// The next child when it is named name (the walk moves past it); null otherwise
const xmlNode *take(Children &c, const char *name)
{
    if (!isNamed(c.next, name)) return nullptr;
    const xmlNode *node = c.next;
    c.next = elementFrom(node->next);
    return node;
}

// The next child, which must be named name; refuses the document otherwise
const xmlNode *expect(Reader &r, Children &c, const char *name)
{
    if (failed(r)) return nullptr;
    const xmlNode *node = take(c, name);
    if (node != nullptr) return node;
    if (c.next != nullptr)
        refuse(r, "<%s> found where <%s> belongs in <%s>", shownName(c.next).c_str(), name, shownName(c.parent).c_str());
    else
        refuse(r, "<%s> missing in <%s>", name, shownName(c.parent).c_str());
    return nullptr;
}

// Refuses the document when an element child is left after the expected ones
void expectEnd(Reader &r, const Children &c)
{
    if (c.next != nullptr) refuse(r, "unexpected <%s> in <%s>", shownName(c.next).c_str(), shownName(c.parent).c_str());
}

//----------------------------------------------------------------------------------
// Private helpers: values
//----------------------------------------------------------------------------------

// The text inside an element (its single text child directly, otherwise the whole content)
std::string textOf(const xmlNode *node)
{
    if (node == nullptr || node->children == nullptr) return std::string();
    const xmlNode *child = node->children;
    if (child->next == nullptr && (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE))
        return child->content != nullptr ? std::string((const char *)child->content) : std::string();
    xmlChar *content = xmlNodeGetContent(node);
    std::string text = content != nullptr ? (const char *)content : "";
    xmlFree(content);
    return text;
}

// The value of an attribute, empty when absent
std::string attributeOf(const xmlNode *node, const char *name)
{
    xmlChar *value = xmlGetProp(node, BAD_CAST name);
    std::string text = value != nullptr ? (const char *)value : "";
    xmlFree(value);
    return text;
}

// The text inside an element, read where it lies when it is the element's single text child
// (the usual case: nothing is copied); otherwise the whole content, kept in spare
const char *textIn(const xmlNode *node, std::string &spare)
{
    if (node == nullptr || node->children == nullptr) return "";
    const xmlNode *child = node->children;
    if (child->next == nullptr && (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE))
        return child->content != nullptr ? (const char *)child->content : "";
    spare = textOf(node);
    return spare.c_str();
}

// An integer as "%d" reads it (clamped to the int range); 0 when the text holds none
int intFrom(const char *start)
{
    // NOTE: a sign and at most nine digits, the whole text (what a save writes), is an int
    // worked out directly; strtol reads everything else
    const char *at = start + (*start == '-' || *start == '+' ? 1 : 0);
    int value = 0, count = 0;
    for (; count < 10 && *at >= '0' && *at <= '9'; at++, count++) value = value * 10 + (*at - '0');
    if (*at == '\0' && count > 0 && count <= 9) return *start == '-' ? -value : value;
    char *end = nullptr;
    errno = 0;
    long number = strtol(start, &end, 10);
    if (end == start) return 0;
    if (number > INT_MAX) return INT_MAX;
    if (number < INT_MIN) return INT_MIN;
    return (int)number;
}

// The integer inside an element (0 for none)
int intOf(const xmlNode *node)
{
    std::string spare;
    return intFrom(textIn(node, spare));
}

// The powers of ten a double holds exactly
const double EXACT_POWERS_OF_TEN[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// strtof's float for a text, and where it stops. A plain decimal of at most 15 digits (what a
// save writes) is worked out directly: its digits and the power of ten are exact in a double,
// so their quotient is the decimal rounded once, and rounding that to a float gives strtof's
// float unless the quotient falls right between two floats (that case goes to strtof)
float realFrom(const char *text, char **end)
{
    const char *at = text;
    const bool negative = *at == '-';
    if (*at == '-' || *at == '+') at++;
    uint64_t digits = 0;
    int count = 0, decimals = 0;
    const char *first = at;
    for (; *at >= '0' && *at <= '9'; at++, count++) digits = digits * 10 + (uint64_t)(*at - '0');
    if (at == first) return strtof(text, end);
    if (*at == '.')
        for (at++; *at >= '0' && *at <= '9'; at++, count++, decimals++) digits = digits * 10 + (uint64_t)(*at - '0');
    if (*at != '\0' || count > 15) return strtof(text, end);
    const double quotient = (double)digits / EXACT_POWERS_OF_TEN[decimals];
    const float value = (float)quotient;
    if ((double)value != quotient) {
        const float beyond = std::nextafter(value, (double)value < quotient ? INFINITY : -INFINITY);
        if (((double)value + (double)beyond) / 2.0 == quotient) return strtof(text, end);
    }
    *end = (char *)at;
    return negative ? -value : value;
}

// A real as "%f" reads it; 0 when the text holds no finite number
float realOf(const xmlNode *node)
{
    std::string spare;
    const char *start = textIn(node, spare);
    char *end = nullptr;
    float value = realFrom(start, &end);
    if (end == start || !std::isfinite(value)) return 0.0f;
    return value;
}

// The white space that ends a word read with "%s"
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// The first word of a text, as "%s" reads it; refuses a word longer than the name limit
std::string wordFrom(Reader &r, const std::string &text, const char *where)
{
    size_t start = 0;
    while (start < text.size() && isBlank(text[start])) start++;
    size_t end = start;
    while (end < text.size() && !isBlank(text[end])) end++;
    if (end - start > (size_t)MAX_SCENE_NAME_LENGTH) {
        refuse(r, "a name longer than %d characters in <%s>", MAX_SCENE_NAME_LENGTH, where);
        return std::string();
    }
    return text.substr(start, end - start);
}

// The first word inside an element (empty for none)
std::string wordOf(Reader &r, const xmlNode *node)
{
    if (node == nullptr) return std::string();
    return wordFrom(r, textOf(node), (const char *)node->name);
}

//----------------------------------------------------------------------------------
// Private helpers: textures, materials and flags
//----------------------------------------------------------------------------------

// R, G, B, A of a colour element
void readColour(Reader &r, const xmlNode *node, std::array<float, 4> &colour)
{
    if (node == nullptr) return;
    Children c = childrenOf(node);
    static const char *const NAMES[4] = {"R", "G", "B", "A"};
    for (size_t i = 0; i < 4; i++) colour[i] = realOf(expect(r, c, NAMES[i]));
    expectEnd(r, c);
}

// The texture block: scales, frame time, frame code and the frames the code asks for
void readTextureBlock(Reader &r, const xmlNode *node, MaterialData &m)
{
    Children c = childrenOf(node);
    m.hasTextureBlock = true;
    m.TEXscaleX = realOf(expect(r, c, "TEXscaleX"));
    m.TEXscaleY = realOf(expect(r, c, "TEXscaleY"));
    m.milTime = intOf(expect(r, c, "milTime"));
    m.multiple = intOf(expect(r, c, "multiple"));
    // multiple 0: one bitmap; m >= 2: m - 1 frames; 1 (or below 0): none
    long long wanted = m.multiple == 0 ? 1 : (m.multiple >= 2 ? (long long)m.multiple - 1 : 0);
    while (const xmlNode *frame = take(c, "TexturasID")) {
        std::string name = wordOf(r, frame);
        if ((long long)m.frames.size() < wanted) m.frames.push_back(name);
    }
    expectEnd(r, c);
}

// One IDMaterial: its name, values, colours and (when textured) its texture block
void readMaterial(Reader &r, const xmlNode *node, SceneData &scene)
{
    MaterialData m;
    m.name = wordFrom(r, attributeOf(node, "codigo"), "IDMaterial codigo");
    Children c = childrenOf(node);
    m.pBlend = realOf(expect(r, c, "pBlend"));
    m.pShine = realOf(expect(r, c, "pShine"));
    m.texturado = intOf(expect(r, c, "texturado"));
    m.Ka = realOf(expect(r, c, "Ka"));
    m.Kd = realOf(expect(r, c, "Kd"));
    m.Ks = realOf(expect(r, c, "Ks"));
    readColour(r, expect(r, c, "pLuzDif"), m.pLuzDif);
    readColour(r, expect(r, c, "pLuzEsp"), m.pLuzEsp);
    readColour(r, expect(r, c, "pLuzEmi"), m.pLuzEmi);
    const xmlNode *block = take(c, "texturas");
    if (block != nullptr && m.texturado == 1) readTextureBlock(r, block, m);
    expectEnd(r, c);
    if (!failed(r)) scene.materials.push_back(std::move(m));
}

// Flag and Value pairs
void readFlags(Reader &r, const xmlNode *node, SceneData &scene)
{
    Children c = childrenOf(node);
    while (!failed(r)) {
        const xmlNode *flag = take(c, "Flag");
        if (flag == nullptr) break;
        FlagData data;
        data.name = wordOf(r, flag);
        data.value = intOf(expect(r, c, "Value"));
        scene.flags.push_back(data);
    }
    expectEnd(r, c);
}

//----------------------------------------------------------------------------------
// Private helpers: objects
//----------------------------------------------------------------------------------

// X, Y, Z or Yaw, Pitch, Roll of miPos or miRot
void readTriple(Reader &r, const xmlNode *node, const char *const names[3], float *a, float *b, float *c3)
{
    if (node == nullptr) return;
    Children c = childrenOf(node);
    *a = realOf(expect(r, c, names[0]));
    *b = realOf(expect(r, c, names[1]));
    *c3 = realOf(expect(r, c, names[2]));
    expectEnd(r, c);
}

// PRIMestado: miPos and miRot
void readPose(Reader &r, const xmlNode *node, object_pose &pose)
{
    static const char *const POSITION[3] = {"X", "Y", "Z"};
    static const char *const ROTATION[3] = {"Yaw", "Pitch", "Roll"};
    Children c = childrenOf(node);
    readTriple(r, expect(r, c, "miPos"), POSITION, &pose.x, &pose.y, &pose.z);
    readTriple(r, expect(r, c, "miRot"), ROTATION, &pose.yaw, &pose.pitch, &pose.roll);
    expectEnd(r, c);
}

// The kind number and the element of values of a condicion or consec; the kind element's
// children are returned by position (at most three are used)
const xmlNode *readEventPart(Reader &r, const xmlNode *node, const char *kindName, const char *holderName,
                             int *kind, std::array<const xmlNode *, 3> &values)
{
    Children c = childrenOf(node);
    *kind = intOf(expect(r, c, kindName));
    const xmlNode *holder = expect(r, c, holderName);
    expectEnd(r, c);
    values = {};
    if (holder == nullptr) return nullptr;
    Children h = childrenOf(holder);
    const xmlNode *element = h.next;
    if (element == nullptr) return nullptr;
    h.next = elementFrom(element->next);
    expectEnd(r, h);
    const xmlNode *value = elementFrom(element->children);
    for (size_t i = 0; i < values.size() && value != nullptr; i++, value = elementFrom(value->next)) values[i] = value;
    return element;
}

// One condicion, added to the event unless its kind is unknown
void readCondition(Reader &r, const xmlNode *node, EventData &event)
{
    EventPartData part;
    std::array<const xmlNode *, 3> values;
    readEventPart(r, node, "tipoCond", "cond", &part.kind, values);
    switch (part.kind) {
    case cActivate:
    case cDistanceMY:
    case cDistanceMN: part.a = intOf(values[0]); break;
    case cFlag:
        part.name = wordOf(r, values[0]);
        part.a = intOf(values[1]);
        break;
    default: return;   // an unknown kind is dropped
    }
    event.conditions.push_back(part);
}

// One consec, added to the end of the event's chain unless its kind is unknown
void readConsequence(Reader &r, const xmlNode *node, EventData &event)
{
    EventPartData part;
    std::array<const xmlNode *, 3> values;
    readEventPart(r, node, "tipoCons", "cons", &part.kind, values);
    switch (part.kind) {
    case cMoveObj:
    case cRotateObj:
    case cRotateMat:
        part.a = intOf(values[0]);
        part.b = intOf(values[1]);
        part.c = intOf(values[2]);
        break;
    case cChangeMat: part.name = wordOf(r, values[0]); break;
    case cFlagEqual:
        part.name = wordOf(r, values[0]);
        part.a = intOf(values[1]);
        break;
    case cLoop:
    case cAgain: part.a = intOf(values[0]); break;
    default: return;   // an unknown kind is dropped, so the chain holds only what runs
    }
    event.consequences.push_back(part);
}

// One evento: its slot from codigo; events with the same code fill the same slot
void readEvent(Reader &r, const xmlNode *node, ObjectData &object)
{
    std::string code = attributeOf(node, "codigo");
    const char *start = code.c_str();
    char *end = nullptr;
    long slot = strtol(start, &end, 10);
    if (end == start || slot < 0 || slot >= EVENTS_PER_SET) {
        refuse(r, "event code \"%.20s\" is not a number from 0 to %d", start, EVENTS_PER_SET - 1);
        return;
    }
    EventData *event = nullptr;
    for (EventData &known : object.events)
        if (known.slot == (int)slot) event = &known;
    if (event == nullptr) {
        object.events.push_back(EventData());
        event = &object.events.back();
        event->slot = (int)slot;
        // room for the few parts an event has, so that the lists are not grown part by part
        event->conditions.reserve(4);
        event->consequences.reserve(4);
    }
    Children c = childrenOf(node);
    while (!failed(r)) {
        const xmlNode *condition = take(c, "condicion");
        if (condition == nullptr) break;
        readCondition(r, condition, *event);
    }
    while (!failed(r)) {
        const xmlNode *consequence = take(c, "consec");
        if (consequence == nullptr) break;
        readConsequence(r, consequence, *event);
    }
    expectEnd(r, c);
    if (event->conditions.size() > (size_t)CONDITIONS_PER_EVENT)
        refuse(r, "more than %d conditions in event %ld", CONDITIONS_PER_EVENT, slot);
}

// The kind's parameter element inside caract, its values by position; counts the faces
void readParameters(Reader &r, const xmlNode *caract, ObjectData &object)
{
    const kind_parameters *info = kind_parameter_info(object.kind);
    Children c = childrenOf(caract);
    const xmlNode *element = take(c, info->element);
    if (element == nullptr) {
        refuse(r, "<caract> does not hold the <%s> of kind %d", info->element, object.kind);
        return;
    }
    expectEnd(r, c);
    Children f = childrenOf(element);
    for (int i = 0; i < info->count; i++) object.parameters[(size_t)i] = intOf(expect(r, f, info->fields[(size_t)i]));
    expectEnd(r, f);
    if (failed(r)) return;

    // NOTE: counted on values capped just above the limit, so the count cannot overflow
    std::array<int, MAX_PARAMETERS> capped = object.parameters;
    for (int &value : capped)
        if (value > MAX_SCENE_FACES) value = (int)MAX_SCENE_FACES + 1;
    const long long faces = face_count_for(object.kind, capped.data());
    // NOTE: the generator builds nothing past its cap; such an object would vanish at load
    if (faces > MAX_GENERATED_FACES) {
        refuse(r, "the object asks for more than %lld faces", MAX_GENERATED_FACES);
        return;
    }
    r.faces += faces;
    if (r.faces > MAX_SCENE_FACES) refuse(r, "the objects ask for more than %lld faces", MAX_SCENE_FACES);
}

// One primitiva, read from its own children only; kept unless its kind is unknown
void readObject(Reader &r, const xmlNode *node, SceneData &scene)
{
    ObjectData object;
    Children c = childrenOf(node);
    const xmlNode *state = expect(r, c, "PRIMestado");
    if (state != nullptr) readPose(r, state, object.pose);
    while (!failed(r)) {
        const xmlNode *material = take(c, "IDPRIMMaterial");
        if (material == nullptr) break;
        object.materials.push_back(wordOf(r, material));
    }
    object.kind = intOf(expect(r, c, "objeto3D"));
    object.promediado = intOf(expect(r, c, "promediado"));
    object.wireFrame = intOf(expect(r, c, "wireFrame"));
    object.scaleX = realOf(expect(r, c, "scaleX"));
    object.scaleY = realOf(expect(r, c, "scaleY"));
    object.scaleZ = realOf(expect(r, c, "scaleZ"));
    while (!failed(r)) {
        const xmlNode *event = take(c, "evento");
        if (event == nullptr) break;
        readEvent(r, event, object);
    }
    const xmlNode *caract = expect(r, c, "caract");
    while (take(c, "caras") != nullptr) {
        // faces are regenerated from the parameters, not read back
    }
    expectEnd(r, c);
    if (failed(r) || kind_parameter_info(object.kind) == nullptr) return;   // unknown kinds are skipped

    readParameters(r, caract, object);
    if (failed(r)) return;
    if ((int)scene.objects.size() >= MAX_SCENE_OBJECTS) {
        refuse(r, "more than %d objects", MAX_SCENE_OBJECTS);
        return;
    }
    scene.objects.push_back(std::move(object));
}

// The texture and material sections at the front of the document's children
void readMaterialSections(Reader &r, Children &c, SceneData &scene)
{
    while (!failed(r)) {
        const xmlNode *texture = take(c, "IDTextura");
        if (texture == nullptr) break;
        std::string name = wordOf(r, texture);
        if (!name.empty()) scene.textures.push_back(name);
    }
    while (!failed(r)) {
        const xmlNode *material = take(c, "IDMaterial");
        if (material == nullptr) break;
        readMaterial(r, material, scene);
    }
}

// The escena element read into the scene: its texture and material sections, and with whole
// the flags and objects after them up to its end. 1, or 0 with the error and nothing read
int readScene(const xmlNode *root, SceneData *scene, std::string *error, bool whole)
{
    Reader r;
    *scene = SceneData();
    if (!isNamed(root, "escena")) {
        refuse(r, "the root element is <%s>, not <escena>", shownName(root).c_str());
    } else {
        Children c = childrenOf(root);
        readMaterialSections(r, c, *scene);
        if (whole) {
            const xmlNode *flags = failed(r) ? nullptr : take(c, "Flags");
            if (flags != nullptr) readFlags(r, flags, *scene);
            for (int position = 0; !failed(r); position++) {
                const xmlNode *object = take(c, "primitiva");
                if (object == nullptr) break;
                r.object = position;
                readObject(r, object, *scene);
            }
            if (!failed(r)) r.object = -1;
            expectEnd(r, c);
        }
    }
    if (!failed(r)) return 1;
    if (error != nullptr) *error = r.error;
    *scene = SceneData();
    return 0;
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int readSceneDocument(const xmlNode *root, SceneData *scene, std::string *error)
{
    return readScene(root, scene, error, true);
}

int readSceneMaterialSections(const xmlNode *root, SceneData *scene, std::string *error)
{
    return readScene(root, scene, error, false);
}
