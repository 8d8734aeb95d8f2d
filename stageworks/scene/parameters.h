/**********************************************************************************************
*
*   parameters - the construction parameters of the twelve primitive kinds
*
*   For every kind: the name of its parameter element in the scene file, its ordered field
*   names, its default values, and which fields are the solid and culling switches. The
*   scene file writer and reader take the names from here, in this order. Field index
*   constants name the positions inside a caract_record.
*
*   DEPENDENCIES: records (caract_record, kinds)
*
**********************************************************************************************/
#pragma once

#include "records.h"

#include <array>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------

// Everything known about the parameters of one kind
struct kind_parameters {
    const char *element;                              // e.g. "cCubo"
    int count;                                        // number of fields
    std::array<const char *, MAX_PARAMETERS> fields;  // e.g. "CUBOlado", in file order
    std::array<int, MAX_PARAMETERS> defaults;
    int solidoField;                                  // index of the solid switch, -1 if none
    int cullFaceField;                                // index of the culling switch, -1 if none
};

// Field positions inside the caract_record of each kind
enum RectangleField { RECT_SOLIDO, RECT_LADO_HOR, RECT_LADO_VERT, RECT_GROSOR };
enum TriangleField { TRI_SOLIDO, TRI_LADO_BASE, TRI_ALTURA, TRI_GROSOR };
enum ParallelepipedField { PARA_SOLIDO, PARA_LADO_BASE, PARA_LADO_LATERAL, PARA_ALTURA, PARA_GROSOR };
enum PyramidField { PIR_LADO, PIR_ALTURA };
enum CubeField { CUBO_LADO };
enum CircleField { CIR_SOLIDO, CIR_RADIO_HOR, CIR_RADIO_VERT, CIR_GROSOR, CIR_SEGMENTOS };
enum HalfCircleField { MCIR_SOLIDO, MCIR_RADIO_HOR, MCIR_RADIO_VERT, MCIR_GROSOR, MCIR_SEGMENTOS };
enum TrapezoidField { TRA_LADO_BASE, TRA_LADO_PICO, TRA_ALTURA };
enum CylinderField { CIL_SOLIDO, CIL_CULL_FACE, CIL_RADIO_HOR, CIL_RADIO_VERT, CIL_GROSOR_X, CIL_GROSOR_Y,
                     CIL_SEGMENTOS };
enum HalfCylinderField { MCIL_SOLIDO, MCIL_CULL_FACE, MCIL_RADIO_HOR, MCIL_RADIO_VERT, MCIL_GROSOR_X,
                         MCIL_GROSOR_Y, MCIL_SEGMENTOS };
enum SphereField { ESF_RADIO_HOR, ESF_RADIO_VERT, ESF_RADIO_Z, ESF_SEGMENTOS_X, ESF_SEGMENTOS_Y };
enum HalfSphereField { MESF_RADIO_HOR, MESF_RADIO_VERT, MESF_RADIO_Z, MESF_SEGMENTOS_X, MESF_SEGMENTOS_Y };

// Largest number of faces one object may be built with from a parameter array; larger
// requests (a scene file asking for a sphere of a million segments) are refused
constexpr long long MAX_GENERATED_FACES = 1 << 20;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The table of all twelve kinds, in kind order
const std::array<kind_parameters, PRIMITIVE_KINDS> &parameter_table();

// The entry of one kind, or null for a kind outside 0 to 11
const kind_parameters *kind_parameter_info(int kind);

// Name of the kind's parameter element ("cCubo"), or null
const char *parameter_element_name(int kind);

// Name of field index of the kind ("CUBOlado"), or null
const char *parameter_field_name(int kind, int index);

// Number of fields of the kind, 0 for an unknown kind
int parameter_count(int kind);

// A new zero-filled parameter record (calloc); null when out of memory
caract_record *new_caract_record();

// A new parameter record holding the kind's defaults; null for an unknown kind
caract_record *default_caract_record(int kind);

// Value of field index of an object's parameter record (0 when it has none)
int get_parameter(const primitiva *object, int index);
void set_parameter(primitiva *object, int index, int value);

// The number of faces the kind's generator builds for these parameters (its numCaras); a curved
// kind with a segment count below 1 builds no faces at all. Computed in 64 bits.
long long face_count_for(int kind, const int *values);
