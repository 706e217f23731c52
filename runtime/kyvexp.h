#pragma once
// The modelling runtime as the model library uses it.
#include "vq_container.h"
#include "vq_error.h"
#include "vq_links.h"
#include "vq_matrix.h"
#include "vq_memory.h"
#include "vq_multiport.h"
#include "vq_params.h"
#include "vq_structure_ref.h"
#include "vq_procedures.h"
#include "vq_value.h"
