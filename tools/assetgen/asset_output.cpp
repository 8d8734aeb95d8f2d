/**********************************************************************************************
*
*   asset_output - where the generators put their files
*
*   DEPENDENCIES: canvas, bmp_writer, text
*
**********************************************************************************************/
#include "asset_output.h"

#include "bmp_writer.h"

#include <cerrno>
#include <cstring>

// Records the first failure only
bool recordFailure(AssetOutput &out, const std::string &message)
{
    if (out.error.empty()) out.error = message;
    return false;
}

// Encodes the canvas and writes it under Data/
bool saveBitmap(AssetOutput &out, const std::string &name, const Canvas &canvas)
{
    std::string path = out.dataDir + "/" + name;
    if (canvas.width <= 0 || canvas.height <= 0) return recordFailure(out, "empty picture for " + path);
    if (!writeBmp(path, canvas)) return recordFailure(out, "cannot write " + path + ": " + strerror(errno));
    out.filesWritten++;
    return true;
}
