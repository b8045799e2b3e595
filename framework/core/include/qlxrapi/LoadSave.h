// LoadSave: saving an object's state to a stream and reading it back.
//
// Saved form: a 4-byte little-endian version (LoadSave_GetPluginVersion() at
// saving) followed by what LoadSave_SaveAllData writes, so that a newer object
// can read what an older one wrote.
#pragma once

#include <quellor/Export.h>

#include "Stream.h"

class QUELLOR_EXPORT LoadSave {
 public:
  // The base writes nothing and succeeds.
  virtual bool LoadSave_SaveAllData(Stream_Out* out);
  // The base reads nothing and succeeds; version is the saved version.
  virtual bool LoadSave_LoadAllData(Stream_In* in, unsigned long version);
  // 0x10000 in the base. Saved as 32 bits.
  virtual unsigned long LoadSave_GetPluginVersion();
  virtual ~LoadSave() = default;

  // Writes the version, then the data. False when either fails or out is
  // null.
  bool SavePlugin(Stream_Out* out);
  // Reads the version, then the data. False when the version cannot be read
  // (the data is then not read) or when the data read fails; the object is
  // left as LoadSave_LoadAllData left it.
  bool LoadPlugin(Stream_In* in);
};
