#include "support/Files.h"

#include <string>
#include <utility>

#include <windows.h>

#include "support/SystemError.h"
#include "support/TemporaryFile.h"

namespace wm {

namespace {

// Tries of the final rename while the target is busy: together about 1.5 s.
constexpr int kRenameAttempts = 12;

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

bool IsFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

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
  // Declared in this order so that the handle is closed before the guard
  // deletes the file: a file still open (without sharing) cannot be deleted.
  TemporaryFile temporary(temporaryPath);
  FileHandle file(handle);

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
  // While another run (the same user logging on twice at once) replaces or
  // reads the same file, the rename is refused for a moment: tried again,
  // briefly. Any other failure is final at once, and so is the refusal when
  // a folder stands where the file goes, which no waiting removes.
  DWORD pause = 10;
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExA(temporary.path().c_str(), path.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      temporary.commit();
      return Status::Ok();
    }
    const DWORD refusal = GetLastError();
    const bool busy = (refusal == ERROR_ACCESS_DENIED && !IsFolder(path)) ||
                      refusal == ERROR_SHARING_VIOLATION || refusal == ERROR_LOCK_VIOLATION;
    if (!busy || attempt == kRenameAttempts) {
      return failure(refusal);
    }
    Sleep(pause);
    pause = pause * 2 > 200 ? 200 : pause * 2;
  }
}

}  // namespace wm
