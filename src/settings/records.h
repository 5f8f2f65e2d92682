#pragma once
// Several texts stored as one setting: records of fields, the fields parted by a tab and the
// records by a line break, with "%" escaping those (and itself) inside a field.

#include <string>
#include <vector>

namespace settings {

using Record = std::vector<std::wstring>;

std::wstring EncodeRecords(const std::vector<Record>& records);
// An empty text is no record at all.
std::vector<Record> DecodeRecords(const std::wstring& text);

}  // namespace settings
