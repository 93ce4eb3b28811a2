/* The host's built-in data-type id of a host array (services/data_type_ids.h). */
#ifndef TWINVOLTS_SERVICES_ARRAY_DATA_TYPE_H
#define TWINVOLTS_SERVICES_ARRAY_DATA_TYPE_H

#include <stdint.h>

#include "host/mx_array.h"

#ifdef __cplusplus
extern "C" {
#endif

/* By class only: a complex array maps like a real one of its class. Classes
 * without a built-in data type give DATA_TYPE_INVALID. */
int32_t ssGetArrayDataTypeId(const mxArray* array);

#ifdef __cplusplus
}
#endif

#endif
