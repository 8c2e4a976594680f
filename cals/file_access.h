// File access used by the header operations. The Windows implementation
// opens with share-deny-write, so no other process can write the file while
// a header is read or written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace cals {

class OpenFile {
 public:
  virtual ~OpenFile() = default;
  // Absolute position from the start of the file.
  virtual bool Seek(std::int64_t offset) = 0;
  virtual std::int64_t Tell() = 0;
  // Length of the file in bytes, or -1 when it cannot be told. The position
  // is left where it was.
  virtual std::int64_t Size() = 0;
  // Number of bytes actually read or written.
  virtual std::size_t Read(void* buffer, std::size_t size) = 0;
  virtual std::size_t Write(const void* buffer, std::size_t size) = 0;
  // Flushes and closes; false when buffered data could not be written.
  // Called at most once; the destructor closes a file still open.
  virtual bool Close() = 0;
};

class FileOpener {
 public:
  virtual ~FileOpener() = default;
  // Binary read, positioned at the start of the file. Null when the file
  // cannot be opened.
  virtual std::unique_ptr<OpenFile> OpenForRead(const std::u16string& path) = 0;
  // Binary update in place, positioned at the start of the file: the file
  // must exist; nothing is created or truncated. The handle reads and
  // writes (with a Seek between a read and a write), so that what a save
  // compares is what it overwrites. Null when the file cannot be opened.
  virtual std::unique_ptr<OpenFile> OpenForUpdate(const std::u16string& path) = 0;
  // The name of the file that `path` names now, independent of the current
  // folder, so that a later change of folder cannot send a save to another
  // file. `path` unchanged when no such name can be made (the open then
  // refuses it or opens what it named).
  virtual std::u16string FullPath(const std::u16string& path) { return path; }
};

}  // namespace cals
