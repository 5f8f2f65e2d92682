#include "main/file_formats.h"

#include "settings/records.h"

namespace zurelo {
namespace {

FileTexts TextsFrom(const settings::Record& record, std::size_t first) {
  FileTexts texts;
  std::wstring* fields[] = {&texts.playing, &texts.paused, &texts.stopped};
  for (std::size_t i = 0; i < 3 && first + i < record.size(); ++i) *fields[i] = record[first + i];
  return texts;
}

}  // namespace

FileTexts DecodeFileTexts(const std::wstring& stored) {
  const std::vector<settings::Record> records = settings::DecodeRecords(stored);
  return records.empty() ? FileTexts{} : TextsFrom(records.front(), 0);
}

std::wstring EncodeFileTexts(const FileTexts& texts) {
  return settings::EncodeRecords({{texts.playing, texts.paused, texts.stopped}});
}

std::vector<FileFormat> DecodeOtherFiles(const std::wstring& stored) {
  std::vector<FileFormat> files;
  for (const settings::Record& record : settings::DecodeRecords(stored)) {
    if (record.empty() || record.front().empty()) continue;
    files.push_back({record.front(), TextsFrom(record, 1)});
  }
  return files;
}

std::wstring EncodeOtherFiles(const std::vector<FileFormat>& files) {
  std::vector<settings::Record> records;
  for (const FileFormat& f : files) {
    records.push_back({f.path, f.texts.playing, f.texts.paused, f.texts.stopped});
  }
  return settings::EncodeRecords(records);
}

}  // namespace zurelo
