/* A loadable file without a mexFunction of its own; it depends on a library
 * that has one. */
int e2eEntryProviderMarker(void);
int e2eNoEntryMarker(void);

int e2eNoEntryMarker(void) {
  return e2eEntryProviderMarker() + 1;
}
