/**********************************************************************************************
*
*   scene_writer - writing the whole scene to escena.xml
*
**********************************************************************************************/
#include "scene_writer.h"

#include "events.h"
#include "file_replace.h"
#include "flags.h"
#include "materials.h"
#include "objects.h"
#include "parameters.h"
#include "records.h"
#include "scene_file.h"
#include "textures.h"

#include <libxml/xmlwriter.h>

#include <array>
#include <cstdio>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
namespace {

// One save in progress: the writer and whether any step of it failed
struct SceneWriter {
    xmlTextWriterPtr writer = nullptr;
    bool failed = false;
};

const char *const DOCTYPE_LINE = "<!DOCTYPE escena SYSTEM \"DESCscene.dtd\">";

// How the last save ended
FileStatus lastStatus;

//----------------------------------------------------------------------------------
// Private helpers: the output
//----------------------------------------------------------------------------------

// Output buffer callback: the bytes go to the document in memory
int appendToDocument(void *context, const char *buffer, int length)
{
    if (length <= 0) return 0;
    ((std::string *)context)->append(buffer, (size_t)length);
    return length;
}

//----------------------------------------------------------------------------------
// Private helpers: writing elements
//----------------------------------------------------------------------------------

// Notes a failed writer call
void check(SceneWriter &w, int result)
{
    if (result < 0) w.failed = true;
}

// A start tag
void openElement(SceneWriter &w, const char *name) { check(w, xmlTextWriterStartElement(w.writer, BAD_CAST name)); }

// The end tag of the innermost open element
void closeElement(SceneWriter &w) { check(w, xmlTextWriterEndElement(w.writer)); }

// An attribute of the element just opened
void attribute(SceneWriter &w, const char *name, const char *value)
{
    check(w, xmlTextWriterWriteAttribute(w.writer, BAD_CAST name, BAD_CAST value));
}

// An element holding a text ("%s")
void textElement(SceneWriter &w, const char *name, const char *text)
{
    check(w, xmlTextWriterWriteElement(w.writer, BAD_CAST name, BAD_CAST(text != nullptr ? text : "")));
}

// NOTE: numbers are formatted here into a buffer on the stack, and their elements are written
// whole as they will appear (a number needs no escaping): the writer's own formatting and its
// element calls allocate and free several times for each of the tens of thousands of numbers
// of a large scene. The writer still closes the start tag before them.

// An element holding a number already formatted: <name>text</name>
void numberElement(SceneWriter &w, const char *name, const char *text)
{
    char element[160];
    int length = snprintf(element, sizeof element, "<%s>%s</%s>", name, text, name);
    if (length < 0 || length >= (int)sizeof element) {
        check(w, xmlTextWriterWriteElement(w.writer, BAD_CAST name, BAD_CAST text));
        return;
    }
    check(w, xmlTextWriterWriteRawLen(w.writer, BAD_CAST element, length));
}

// An element holding an integer ("%d")
void intElement(SceneWriter &w, const char *name, int value)
{
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    numberElement(w, name, text);
}

// An element holding a real with three decimals ("%.3f")
void realElement(SceneWriter &w, const char *name, float value)
{
    char text[64];
    snprintf(text, sizeof text, "%.3f", (double)value);
    numberElement(w, name, text);
}

// An attribute formatted from a number ("P%d", "C%d", ...)
void numberAttribute(SceneWriter &w, const char *name, const char *format, int number)
{
    check(w, xmlTextWriterWriteFormatAttribute(w.writer, BAD_CAST name, format, number));
}

//----------------------------------------------------------------------------------
// Private helpers: the sections
//----------------------------------------------------------------------------------

// IDTextura, one per texture in table order
void writeTextures(SceneWriter &w)
{
    hash_table *table = texture_table();
    if (table == nullptr) return;
    hash_iterator it = {};
    const unsigned char *key = nullptr;
    uint32_t length = 0;
    for (void *data = hash_table_first(table, &it, &key, &length); data != nullptr;
         data = hash_table_next(table, &it, &key, &length)) {
        textElement(w, "IDTextura", texture_key_text(key, length).c_str());
    }
}

// A colour element with its R, G, B, A
void writeColour(SceneWriter &w, const char *name, const std::array<float, 4> &colour)
{
    openElement(w, name);
    realElement(w, "R", colour[0]);
    realElement(w, "G", colour[1]);
    realElement(w, "B", colour[2]);
    realElement(w, "A", colour[3]);
    closeElement(w);
}

// One IDMaterial; the texture block only for a textured material that has one
void writeMaterial(SceneWriter &w, const material_record &material)
{
    openElement(w, "IDMaterial");
    attribute(w, "codigo", material.name.c_str());
    realElement(w, "pBlend", material.pBlend);
    realElement(w, "pShine", material.pShine);
    intElement(w, "texturado", material.texturado);
    realElement(w, "Ka", material.Ka);
    realElement(w, "Kd", material.Kd);
    realElement(w, "Ks", material.Ks);
    writeColour(w, "pLuzDif", material.pLuzDif);
    writeColour(w, "pLuzEsp", material.pLuzEsp);
    writeColour(w, "pLuzEmi", material.pLuzEmi);
    // NOTE: a textured material without a block (possible in a hand-made file) writes none,
    // which reads back the same
    if (material.texturado == 1 && material.texture) {
        const texture_block &block = *material.texture;
        openElement(w, "texturas");
        realElement(w, "TEXscaleX", block.TEXscaleX);
        realElement(w, "TEXscaleY", block.TEXscaleY);
        intElement(w, "milTime", block.milTime);
        intElement(w, "multiple", block.multiple);
        for (const std::string &frame : block.frames) textElement(w, "TexturasID", frame.c_str());
        closeElement(w);
    }
    closeElement(w);
}

// IDMaterial, one per material in table order
void writeMaterials(SceneWriter &w)
{
    hash_table *table = material_table();
    if (table == nullptr) return;
    hash_iterator it = {};
    for (void *data = hash_table_first(table, &it, nullptr, nullptr); data != nullptr;
         data = hash_table_next(table, &it, nullptr, nullptr)) {
        writeMaterial(w, *(const material_record *)data);
    }
}

// Flags with each name followed by its value, only when there is a flag
void writeFlags(SceneWriter &w)
{
    if (getFlagCount() < 1) return;
    openElement(w, "Flags");
    hash_iterator it = {};
    for (FlagRecord *flag = firstFlag(&it); flag != nullptr; flag = nextFlag(&it)) {
        textElement(w, "Flag", flag->name.c_str());
        intElement(w, "Value", flag->value);
    }
    closeElement(w);
}

// PRIMestado: position, then orientation
void writePose(SceneWriter &w, const object_pose &pose)
{
    openElement(w, "PRIMestado");
    openElement(w, "miPos");
    realElement(w, "X", pose.x);
    realElement(w, "Y", pose.y);
    realElement(w, "Z", pose.z);
    closeElement(w);
    openElement(w, "miRot");
    realElement(w, "Yaw", pose.yaw);
    realElement(w, "Pitch", pose.pitch);
    realElement(w, "Roll", pose.roll);
    closeElement(w);
    closeElement(w);
}

// Three integers under their names
void writeTriple(SceneWriter &w, const char *const names[3], int a, int b, int c)
{
    intElement(w, names[0], a);
    intElement(w, names[1], b);
    intElement(w, names[2], c);
}

// One condicion; an unknown kind writes its number and an empty cond
void writeCondition(SceneWriter &w, const Condition &condition)
{
    openElement(w, "condicion");
    intElement(w, "tipoCond", condition.kind);
    openElement(w, "cond");
    switch (condition.kind) {
    case cActivate:
        openElement(w, "cActivate");
        intElement(w, "valueAct", 0);
        closeElement(w);
        break;
    case cDistanceMY:
    case cDistanceMN: {
        const DistanceValue *value = distanceValueOf(&condition);
        bool farther = condition.kind == cDistanceMY;
        openElement(w, farther ? "cDistanceMY" : "cDistanceMN");
        intElement(w, farther ? "valueDMY" : "valueDMN", value ? value->distance : 0);
        closeElement(w);
        break;
    }
    case cFlag: {
        const FlagValue *value = flagValueOf(&condition);
        openElement(w, "cFlag");
        textElement(w, "nameFlag", value ? value->name.c_str() : "");
        intElement(w, "valueFlag", value ? value->value : 0);
        closeElement(w);
        break;
    }
    default: break;
    }
    closeElement(w);
    closeElement(w);
}

// One consec; an unknown kind writes its number and an empty cons
void writeConsequence(SceneWriter &w, const Consequence &link)
{
    static const char *const MOVE[3] = {"moveObjX", "moveObjY", "moveObjZ"};
    static const char *const ROTATE_OBJECT[3] = {"rotateObjYaw", "rotateObjPitch", "rotateObjRoll"};
    static const char *const ROTATE_MATERIAL[3] = {"rotateMatYaw", "rotateMatPitch", "rotateMatRoll"};

    openElement(w, "consec");
    intElement(w, "tipoCons", link.kind);
    openElement(w, "cons");
    switch (link.kind) {
    case cMoveObj: {
        const MoveValue *value = moveValueOf(&link);
        openElement(w, "cMoveObj");
        writeTriple(w, MOVE, value ? value->x : 0, value ? value->y : 0, value ? value->z : 0);
        closeElement(w);
        break;
    }
    case cRotateObj:
    case cRotateMat: {
        const RotateValue *value = rotateValueOf(&link);
        bool object = link.kind == cRotateObj;
        openElement(w, object ? "cRotateObj" : "cRotateMat");
        writeTriple(w, object ? ROTATE_OBJECT : ROTATE_MATERIAL, value ? value->yaw : 0, value ? value->pitch : 0,
                    value ? value->roll : 0);
        closeElement(w);
        break;
    }
    case cChangeMat: {
        const ChangeMatValue *value = changeMatValueOf(&link);
        openElement(w, "cChangeMat");
        textElement(w, "nameChangeMat", value ? value->material.c_str() : "");
        closeElement(w);
        break;
    }
    case cFlagEqual: {
        const FlagValue *value = flagValueOf(&link);
        openElement(w, "cFlagEqual");
        textElement(w, "nameFlagEqual", value ? value->name.c_str() : "");
        intElement(w, "valueFlagEqual", value ? value->value : 0);
        closeElement(w);
        break;
    }
    case cLoop: {
        const LoopValue *value = loopValueOf(&link);
        openElement(w, "cLoop");
        intElement(w, "valueLoop", value ? value->count : 0);
        closeElement(w);
        break;
    }
    case cAgain:
        openElement(w, "cAgain");
        intElement(w, "valueAgain", 0);
        closeElement(w);
        break;
    default: break;
    }
    closeElement(w);
    closeElement(w);
}

// evento for every slot holding a condition or a consequence
void writeEvents(SceneWriter &w, const EventSet *set)
{
    if (set == nullptr) return;
    for (int slot = 0; slot < EVENTS_PER_SET; slot++) {
        const Event &event = set->events[(size_t)slot];
        if (event.conditionCount <= 0 && event.consequenceCount <= 0) continue;
        openElement(w, "evento");
        numberAttribute(w, "codigo", "%d", slot);
        if (event.conditionCount > 0) {
            for (const Condition &condition : event.conditions)
                if (condition.kind != cEmpty) writeCondition(w, condition);
        }
        const Consequence *link = event.firstConsequence;
        for (int i = 0; i < event.consequenceCount && link != nullptr; i++, link = link->next)
            if (link->kind != 0) writeConsequence(w, *link);
        closeElement(w);
    }
}

// caract with the kind's parameter element; empty for an unknown kind
void writeParameters(SceneWriter &w, const primitiva &object)
{
    openElement(w, "caract");
    const kind_parameters *info = kind_parameter_info(object.objeto3D);
    if (info != nullptr) {
        openElement(w, info->element);
        for (int i = 0; i < info->count; i++) {
            int value = object.caract != nullptr ? object.caract->values[(size_t)i] : info->defaults[(size_t)i];
            intElement(w, info->fields[(size_t)i], value);
        }
        closeElement(w);
    }
    closeElement(w);
}

// caras for every face with a hole or a material of its own, numbered by face position
void writeFaces(SceneWriter &w, const primitiva &object)
{
    int f = 0;
    for (const cara *face = object.faces; face != nullptr; face = face->next, f++) {
        if (face->holes == nullptr && face->materials == nullptr) continue;
        openElement(w, "caras");
        numberAttribute(w, "codigo", "C%d", f);
        int k = 0;
        for (const agujero *hole = face->holes; hole != nullptr; hole = hole->next, k++) {
            openElement(w, "agujeros");
            numberAttribute(w, "codigo", "Ag%d", k);
            intElement(w, "numAristas", hole->numAristas);
            int m = 0;
            for (const arista *edge = hole->ring; edge != nullptr; edge = edge->next, m++) {
                const vertice zero = {};
                const vertice *v = edge->vertex != nullptr ? edge->vertex : &zero;
                openElement(w, "AGUvertices");
                numberAttribute(w, "codigo", "AgA%d", m);
                realElement(w, "X", v->x);
                realElement(w, "Y", v->y);
                realElement(w, "Z", v->z);
                closeElement(w);
            }
            closeElement(w);
        }
        closeElement(w);
    }
}

// One primitiva
void writeObject(SceneWriter &w, int index)
{
    const primitiva *object = object_at(index);
    if (object == nullptr) return;
    openElement(w, "primitiva");
    numberAttribute(w, "codigo", "P%d", index);
    writePose(w, object->pose);
    for (const pair_node *node = object->materials; node != nullptr; node = node->next)
        textElement(w, "IDPRIMMaterial", (const char *)node->value);
    intElement(w, "objeto3D", object->objeto3D);
    intElement(w, "promediado", object->promediado);
    intElement(w, "wireFrame", object->wireFrame);
    realElement(w, "scaleX", object->scaleX);
    realElement(w, "scaleY", object->scaleY);
    realElement(w, "scaleZ", object->scaleZ);
    writeEvents(w, slot_event_set(index));
    writeParameters(w, *object);
    writeFaces(w, *object);
    closeElement(w);
}

// The whole document through an open writer
void writeDocument(SceneWriter &w)
{
    check(w, xmlTextWriterStartDocument(w.writer, nullptr, "ISO-8859-1", nullptr));
    check(w, xmlTextWriterWriteFormatString(w.writer, "%s", DOCTYPE_LINE));
    check(w, xmlTextWriterWriteFormatString(w.writer, "\n%s", ""));
    openElement(w, "escena");
    writeTextures(w);
    writeMaterials(w);
    writeFlags(w);
    for (int i = 0; i < object_count(); i++) writeObject(w, i);
    closeElement(w);
    check(w, xmlTextWriterEndDocument(w.writer));
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
// saveSceneTo escena.xml, saying so on standard error when it fails
int saveScene(std::string *document)
{
    if (saveSceneTo(SCENE_FILE_NAME, document)) return 1;
    if (lastStatus.problem == FILE_READ_ONLY || lastStatus.problem == FILE_NOT_REGULAR)
        fprintf(stderr, "Error: %s not saved: %s\n", SCENE_FILE_NAME, fileProblemText(lastStatus).c_str());
    else
        fprintf(stderr, "Error: unable to write file \"%s\": %s\n", SCENE_FILE_NAME, fileProblemText(lastStatus).c_str());
    return 0;
}

// The document made in memory, then put in the file's place whole
int saveSceneTo(const char *path, std::string *document)
{
    std::string bytes;
    lastStatus = fileFailure(FILE_WRITE_FAILED);
    if (path == nullptr || !writeSceneDocument(&bytes)) return 0;
    lastStatus = replaceFile(path, bytes);
    if (!fileOk(lastStatus)) return 0;
    if (document != nullptr) *document = std::move(bytes);
    return 1;
}

int writeSceneDocument(std::string *bytes)
{
    bytes->clear();
    xmlOutputBufferPtr buffer = xmlOutputBufferCreateIO(appendToDocument, nullptr, bytes, nullptr);
    if (buffer == nullptr) return 0;
    SceneWriter w;
    w.writer = xmlNewTextWriter(buffer);
    if (w.writer == nullptr) {
        xmlOutputBufferClose(buffer);
        return 0;
    }
    writeDocument(w);
    // closes the buffer, which hands what is left in it to the document
    xmlFreeTextWriter(w.writer);
    return w.failed ? 0 : 1;
}

FileStatus lastSaveStatus() { return lastStatus; }
