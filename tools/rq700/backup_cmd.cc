// rq700 backup check / list.
#include <cstdio>
#include <string>
#include <vector>

#include "files/backup_reader.h"
#include "tools/rq700/commands.h"

namespace rq700::tool {

namespace {

// The restore's message, with the line break a terminal shows.
void PrintWrongFormat() {
  std::string text(files::kWrongBackupFormat);
  const size_t crlf = text.find("\r\n");
  if (crlf != std::string::npos) text.replace(crlf, 2, "\n");
  std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace

int BackupCheck(const Args& args) {
  if (args.size() != 1) return Fail("usage: rq700 backup check FILE");
  files::BackupReader reader;
  if (!reader.Open(args[0])) {
    PrintWrongFormat();
    return 1;
  }
  std::printf("ok\n");
  return 0;
}

int BackupList(const Args& args) {
  if (args.size() != 1) return Fail("usage: rq700 backup list FILE");
  files::BackupReader reader;
  if (!reader.Open(args[0])) {
    PrintWrongFormat();
    return 1;
  }
  std::vector<files::BackupRecordHeader> records(reader.record_count());
  for (int i = 0; i < reader.record_count(); ++i) {
    if (!reader.ReadRecordHeader(i, &records[i]))
      return Fail("cannot read record " + std::to_string(i + 1));
    const auto& r = records[i];
    std::printf("%s %u %u %u\n", r.name.c_str(), r.type, r.item_count, r.item_length);
  }
  for (const auto& r : records) {
    for (uint32_t k = 0; k < r.item_count; ++k) {
      files::BackupItem item;
      if (!reader.ReadItem(r, k, &item)) return Fail("cannot read an item of " + r.name);
      std::printf("%s %u\n", r.name.c_str(), item.number);
    }
  }
  return 0;
}

}  // namespace rq700::tool
