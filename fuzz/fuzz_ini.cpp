// Arbitrary bytes through the INI loader, writer and lookups: must never crash.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "project/ini/ini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vyr;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto file = MakeRef<TIniFile>();
  file->LoadFromBytes(bytes);

  // What is written reads back to a model that writes the same text.
  const std::string saved = file->SaveToBytes(true);
  auto again = MakeRef<TIniFile>();
  again->LoadFromBytes(saved);
  if (again->SaveToBytes(true) != saved) __builtin_trap();

  const std::string valueText = file->SaveToValueText();
  auto fromValue = MakeRef<TIniFile>();
  if (!fromValue->LoadFromValueText(valueText) || fromValue->SaveToBytes(true) != saved) {
    __builtin_trap();
  }

  // A few lookups on names taken from the input itself.
  const std::string_view name = bytes.substr(0, size % 17);
  for (TIniSection* section : file->Sections()) {
    ReadInt(FindKey(section, name), 0);
    ReadFloat(FindKey(section, section->Name()), 0);
    int budget = 64;
    for (TIniObject* o = FirstObject(section); o && budget-- > 0; o = NextObject(section, o)) {
      ReadBool(FindKey(o, name), false);
      FindObjectOfClass(section, o->Name(), o->ClassName());
    }
  }
  FindByPath(file.Get(), name);
  file->CheckInvariants();
  TRef<TIniFile> copy = file->CloneFile();
  copy->CheckInvariants();
  return 0;
}
