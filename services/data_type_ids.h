/* The host's built-in data-type ids, as block code and the record writers
 * number them. */
#ifndef TWINVOLTS_SERVICES_DATA_TYPE_IDS_H
#define TWINVOLTS_SERVICES_DATA_TYPE_IDS_H

enum {
  DATA_TYPE_INVALID = -10, /* no built-in data type */
  DATA_TYPE_DOUBLE = 0,
  DATA_TYPE_SINGLE = 1,
  DATA_TYPE_INT8 = 2,
  DATA_TYPE_UINT8 = 3,
  DATA_TYPE_INT16 = 4,
  DATA_TYPE_UINT16 = 5,
  DATA_TYPE_INT32 = 6,
  DATA_TYPE_UINT32 = 7,
  DATA_TYPE_BOOLEAN = 8
};

/* Bit of a data-type word that marks complex data. */
#define DATA_TYPE_COMPLEX_BIT 0x10000

#endif
