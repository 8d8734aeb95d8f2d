/**********************************************************************************************
*
*   parameters - the construction parameters of the twelve primitive kinds
*
**********************************************************************************************/
#include "parameters.h"

#include <cstdlib>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static const std::array<kind_parameters, PRIMITIVE_KINDS> kindTable = {{
    {"cRectangulo", 4, {"RECTsolido", "RECTladoHor", "RECTladoVert", "RECTgrosor"},
     {1, 3, 5, 1}, RECT_SOLIDO, -1},
    {"cTriangulo", 4, {"TRIsolido", "TRIladoBase", "TRIaltura", "TRIgrosor"},
     {1, 4, 4, 2}, TRI_SOLIDO, -1},
    {"cParalelepipedo", 5, {"PARAsolido", "PARAladoBase", "PARAladoLateral", "PARAaltura", "PARAgrosor"},
     {1, 4, 5, 3, 2}, PARA_SOLIDO, -1},
    {"cPiramide", 2, {"PIRlado", "PIRaltura"},
     {4, 4}, -1, -1},
    {"cCubo", 1, {"CUBOlado"},
     {4}, -1, -1},
    {"cCirculo", 5, {"CIRsolido", "CIRradioHor", "CIRradioVert", "CIRgrosor", "CIRsegmentos"},
     {1, 4, 4, 4, 8}, CIR_SOLIDO, -1},
    {"cMedioCirculo", 5, {"MCIRsolido", "MCIRradioHor", "MCIRradioVert", "MCIRgrosor", "MCIRsegmentos"},
     {1, 4, 4, 4, 8}, MCIR_SOLIDO, -1},
    {"cTrapecio", 3, {"TRAladoBase", "TRAladoPico", "TRAaltura"},
     {4, 2, 2}, -1, -1},
    {"cCilindro", 7, {"CILsolido", "CILcullFace", "CILradioHor", "CILradioVert", "CILgrosorX", "CILgrosorY",
                      "CILsegmentos"},
     {1, 0, 4, 4, 4, 4, 8}, CIL_SOLIDO, CIL_CULL_FACE},
    {"cMedioCilindro", 7, {"MCILsolido", "MCILcullFace", "MCILradioHor", "MCILradioVert", "MCILgrosorX",
                           "MCILgrosorY", "MCILsegmentos"},
     {1, 0, 4, 4, 4, 4, 8}, MCIL_SOLIDO, MCIL_CULL_FACE},
    {"cEsfera", 5, {"ESFradioHor", "ESFradioVert", "ESFradioZ", "ESFsegmentosX", "ESFsegmentosY"},
     {4, 4, 4, 8, 8}, -1, -1},
    {"cMediaEsfera", 5, {"MESFradioHor", "MESFradioVert", "MESFradioZ", "MESFsegmentosX", "MESFsegmentosY"},
     {4, 4, 4, 8, 8}, -1, -1},
}};

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// A segment count as the generators use it: below 1 builds nothing
// Segment count as it enters a face count; capped so that no product of two can overflow
// (any count near the cap is refused long before, for making too many faces)
static long long segments(int value) { return value < 1 ? 0 : (value > (1 << 24) ? (1LL << 24) : (long long)value); }

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
const std::array<kind_parameters, PRIMITIVE_KINDS> &parameter_table() { return kindTable; }

const kind_parameters *kind_parameter_info(int kind)
{
    if (kind < 0 || kind >= PRIMITIVE_KINDS) return nullptr;
    return &kindTable[(size_t)kind];
}

const char *parameter_element_name(int kind)
{
    const kind_parameters *info = kind_parameter_info(kind);
    return info ? info->element : nullptr;
}

const char *parameter_field_name(int kind, int index)
{
    const kind_parameters *info = kind_parameter_info(kind);
    if (info == nullptr || index < 0 || index >= info->count) return nullptr;
    return info->fields[(size_t)index];
}

int parameter_count(int kind)
{
    const kind_parameters *info = kind_parameter_info(kind);
    return info ? info->count : 0;
}

caract_record *new_caract_record() { return (caract_record *)calloc(1, sizeof(caract_record)); }

caract_record *default_caract_record(int kind)
{
    const kind_parameters *info = kind_parameter_info(kind);
    if (info == nullptr) return nullptr;
    caract_record *record = new_caract_record();
    if (record == nullptr) return nullptr;
    for (int i = 0; i < info->count; i++) record->values[i] = info->defaults[(size_t)i];
    return record;
}

int get_parameter(const primitiva *object, int index)
{
    if (object->caract == nullptr || index < 0 || index >= MAX_PARAMETERS) return 0;
    return object->caract->values[index];
}

void set_parameter(primitiva *object, int index, int value)
{
    if (object->caract == nullptr || index < 0 || index >= MAX_PARAMETERS) return;
    object->caract->values[index] = value;
}

long long face_count_for(int kind, const int *v)
{
    switch (kind) {
    case KIND_RECTANGLE: return 6;
    case KIND_TRIANGLE: return 5;
    case KIND_PARALLELEPIPED: return 6;
    case KIND_PYRAMID: return 5;
    case KIND_CUBE: return 6;
    case KIND_CIRCLE: return segments(v[CIR_SEGMENTOS]) ? 4 * segments(v[CIR_SEGMENTOS]) + 2 : 0;
    case KIND_HALF_CIRCLE: return segments(v[MCIR_SEGMENTOS]) ? 2 * segments(v[MCIR_SEGMENTOS]) + 3 : 0;
    case KIND_TRAPEZOID: return 6;
    case KIND_CYLINDER: return 16 * segments(v[CIL_SEGMENTOS]);
    case KIND_HALF_CYLINDER: return segments(v[MCIL_SEGMENTOS]) ? 8 * segments(v[MCIL_SEGMENTOS]) + 2 : 0;
    case KIND_SPHERE: return 8 * segments(v[ESF_SEGMENTOS_X]) * segments(v[ESF_SEGMENTOS_Y]);
    case KIND_HALF_SPHERE: {
        long long x = segments(v[MESF_SEGMENTOS_X]), y = segments(v[MESF_SEGMENTOS_Y]);
        return (x && y) ? 4 * x * (y + 1) : 0;
    }
    default: return 0;
    }
}
