/**********************************************************************************************
*
*   scene_parse - parsing a scene document with its own DTD and nothing else
*
**********************************************************************************************/
#include "scene_parse.h"

#include "scene_file.h"
#include "scene_paths.h"

#include <libxml/parserInternals.h>  // Required for: xmlNewIOInputStream()
#include <libxml/xmlerror.h>         // Required for: xmlSetStructuredErrorFunc()

#include <algorithm>  // Required for: std::min()
#include <cstring>    // Required for: memcpy()

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

// What the entity loader knows about the parse in progress
struct LoaderState {
    bool active = false;
    bool dtdGiven = false;
    std::string directory;
    std::string dtd;              // the DTD's bytes, alive until the parse ends
    SceneParse *parse = nullptr;
};

// The bytes still to hand to the parser
struct ByteSource {
    const char *next;
    size_t left;
};

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static LoaderState loader;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// libxml2's loader for every external file: the scene's DTD once, as the external subset of
// the document; nothing else ever
static xmlParserInputPtr sceneEntityLoader(const char *url, const char *id, xmlParserCtxtPtr context)
{
    if (!loader.active || loader.parse == nullptr) return nullptr;
    // NOTE: the external subset is asked for while inSubset is 2; a parameter entity the DTD
    // names comes then too, but after the DTD itself was given
    if (context != nullptr && context->inSubset == 2 && !loader.dtdGiven) {
        loader.dtdGiven = true;
        const FileStatus status = readSceneFile(loader.directory, SCENE_DTD_NAME, MAX_SCENE_DTD_BYTES, &loader.dtd);
        if (!fileOk(status)) {
            loader.parse->dtdProblem = sceneFileMessage(SCENE_DTD_NAME, status);
            return nullptr;
        }
        // NOTE: read as a file would be (its text declaration names its encoding); the bytes
        // stay in the loader's state until the parse is over
        xmlParserInputBufferPtr buffer =
            xmlParserInputBufferCreateMem(loader.dtd.data(), (int)loader.dtd.size(), XML_CHAR_ENCODING_NONE);
        if (buffer == nullptr) return nullptr;
        xmlParserInputPtr input = xmlNewIOInputStream(context, buffer, XML_CHAR_ENCODING_NONE);
        if (input == nullptr) xmlFreeParserInputBuffer(buffer);
        return input;
    }
    if (loader.parse->refusal.empty()) loader.parse->refusal = url != nullptr ? url : (id != nullptr ? id : "?");
    return nullptr;
}

// Keeps libxml2's first message (instead of printing every one)
static void keepFirstMessage(void *data, xmlErrorPtr error)
{
    std::string *first = (std::string *)data;
    if (!first->empty() || error == nullptr || error->message == nullptr) return;
    *first = error->message;
    while (!first->empty() && (first->back() == '\n' || first->back() == ' ')) first->pop_back();
    if (error->line > 0) *first += " (line " + std::to_string(error->line) + ")";
}

// Hands the parser the next bytes it asks for (so it keeps no copy of the whole file)
static int nextBytes(void *context, char *buffer, int length)
{
    ByteSource *source = (ByteSource *)context;
    size_t count = std::min(source->left, (size_t)(length > 0 ? length : 0));
    memcpy(buffer, source->next, count);
    source->next += count;
    source->left -= count;
    return (int)count;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
SceneParse parseSceneBytes(const std::string &bytes, const std::string &sceneDirectory, int options, bool quiet)
{
    SceneParse parse;
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    if (context == nullptr) return parse;
    const xmlExternalEntityLoader previous = xmlGetExternalEntityLoader();
    xmlSetExternalEntityLoader(sceneEntityLoader);
    loader.active = true;
    loader.dtdGiven = false;
    loader.directory = sceneDirectory;
    loader.parse = &parse;
    if (quiet) xmlSetStructuredErrorFunc(&parse.firstMessage, keepFirstMessage);

    ByteSource source = {bytes.data(), bytes.size()};
    parse.doc = xmlCtxtReadIO(context, nextBytes, nullptr, &source, SCENE_FILE_NAME, nullptr, options | XML_PARSE_NONET);
    parse.valid = context->valid != 0;

    if (quiet) xmlSetStructuredErrorFunc(nullptr, nullptr);
    loader = LoaderState();
    xmlSetExternalEntityLoader(previous);
    xmlFreeParserCtxt(context);
    return parse;
}

std::string sceneRefusalText(const SceneParse &parse)
{
    return "it names another file (\"" + parse.refusal + "\"); a scene may name no file but its DTD";
}
