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

const char* const kReadOnly = "the file is read-only";

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

namespace {

Status Failure(std::string_view what, const std::string& path, DWORD code) {
  return FileFailure(what, path, SystemErrorMessage(code));
}

}  // namespace

Result<StagedFile> StageFile(const std::string& path, std::string_view bytes,
                             std::string_view what) {
  // What cannot be replaced is refused before anything is written, so that
  // the caller never registers a file that cannot be put in place.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) {
    return FileFailure(what, path,
                       (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? kFolderInTheWay : kReadOnly);
  }
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
    return Failure(what, path, error);
  }
  // Declared in this order so that the handle is closed before the guard
  // deletes the file: a file still open (without sharing) cannot be deleted.
  TemporaryFile temporary(temporaryPath);
  FileHandle file(handle);

  while (!bytes.empty()) {
    DWORD chunk = bytes.size() > 65536 ? 65536 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), chunk, &written, nullptr)) {
      return Failure(what, path, GetLastError());
    }
    if (written == 0) {
      return Failure(what, path, ERROR_WRITE_FAULT);
    }
    bytes.remove_prefix(written);
  }
  if (!FlushFileBuffers(file.get())) {
    return Failure(what, path, GetLastError());
  }
  if (!file.close()) {
    return Failure(what, path, GetLastError());
  }
  return StagedFile(path, std::string(what), std::move(temporary));
}

Status StagedFile::Commit() {
  // rename() will not replace an existing file on Windows; MoveFileEx will.
  DWORD pause = 10;
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExA(temporary_.path().c_str(), path_.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      temporary_.disarm();
      return Status::Ok();
    }
    const DWORD refusal = GetLastError();
    // Access denied is a file that cannot be replaced just now (held open by
    // another process, or pending deletion) or an ACL's denial; only the NT
    // status behind it, from ntdll, which is not imported, tells them apart
    // (a folder or a read-only file was refused in StageFile). So it is tried
    // again too: a real denial is reported after the tries, 1.5 s later.
    const bool busy = refusal == ERROR_ACCESS_DENIED || refusal == ERROR_SHARING_VIOLATION ||
                      refusal == ERROR_LOCK_VIOLATION;
    if (!busy || attempt == kRenameAttempts) {
      return Failure(what_, path_, refusal);
    }
    Sleep(pause);
    pause = pause * 2 > 200 ? 200 : pause * 2;
  }
}

}  // namespace wm
