#include "support/Files.h"

#include <string>
#include <utility>

#include <windows.h>

#include "support/SystemError.h"
#include "support/TemporaryFile.h"

namespace wm {

namespace {

// A file handle closed on every path.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) {
      CloseHandle(handle_);
    }
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  HANDLE get() const { return handle_; }
  // Closes now and reports the result.
  bool close() {
    BOOL closed = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return closed != FALSE;
  }

 private:
  HANDLE handle_;
};

}  // namespace

bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

Status WriteFileAtomically(const std::string& path, std::string_view bytes, std::string_view what) {
  auto failure = [&](DWORD code) {
    return Status::Failure(std::string(what) + " \"" + path + "\": " + SystemErrorMessage(code));
  };

  // CREATE_NEW never reuses a file someone else left or planted.
  HANDLE handle = INVALID_HANDLE_VALUE;
  DWORD error = 0;
  std::string temporaryPath =
      CreateTemporaryBeside(path, GetCurrentProcessId(), [&](const std::string& name) {
        handle = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        error = GetLastError();
        if (handle != INVALID_HANDLE_VALUE) {
          return CreateResult::Created;
        }
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? CreateResult::NameTaken
                                                                           : CreateResult::Failed;
      });
  if (temporaryPath.empty()) {
    return failure(error);
  }
  FileHandle file(handle);
  TemporaryFile temporary(temporaryPath);

  while (!bytes.empty()) {
    DWORD chunk = bytes.size() > 65536 ? 65536 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), chunk, &written, nullptr)) {
      return failure(GetLastError());
    }
    if (written == 0) {
      return failure(ERROR_WRITE_FAULT);
    }
    bytes.remove_prefix(written);
  }
  if (!FlushFileBuffers(file.get())) {
    return failure(GetLastError());
  }
  if (!file.close()) {
    return failure(GetLastError());
  }
  // rename() will not replace an existing file on Windows; MoveFileEx will.
  if (!MoveFileExA(temporary.path().c_str(), path.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return failure(GetLastError());
  }
  temporary.commit();
  return Status::Ok();
}

}  // namespace wm
