// GetOpenFileNameA and GetSaveFileNameA through the answer hook.
#include <sys/stat.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "AnswerHook.h"
#include "win32/commdlg.h"
#include "win32/quellor_host.h"

namespace {

thread_local DWORD tExtendedError = 0;

using quellor::desktop::Question;

std::vector<std::pair<std::string, std::string>> ParseFilters(LPCSTR filter) {
  std::vector<std::pair<std::string, std::string>> out;
  if (!filter) return out;
  while (*filter) {
    std::string description = filter;
    filter += description.size() + 1;
    std::string pattern = filter;
    filter += pattern.size() + (pattern.empty() ? 0 : 1);
    out.emplace_back(description, pattern);
    if (pattern.empty()) break;  // a description without pattern ends the list
  }
  return out;
}

bool FileExists(const std::string& path) {
  auto host = quellor::win32::ToHostPath(path);
  struct stat st;
  return host && stat(host->c_str(), &st) == 0;
}

size_t NameOffset(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? (path.size() > 1 && path[1] == ':' ? 2 : 0) : slash + 1;
}

// The offset of the extension after its dot, or 0 when the name has none.
size_t ExtensionOffset(const std::string& path) {
  size_t name = NameOffset(path);
  size_t dot = path.find_last_of('.');
  return dot == std::string::npos || dot < name ? 0 : dot + 1;
}

bool CopyOut(const std::string& text, LPSTR buffer, DWORD size) {
  if (!buffer || size == 0 || text.size() + 1 > size) return false;
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return true;
}

BOOL RunFileDialog(LPOPENFILENAMEA ofn, Question::Kind kind) {
  tExtendedError = 0;
  if (!ofn || ofn->lStructSize < offsetof(OPENFILENAMEA, pvReserved)) {
    tExtendedError = CDERR_STRUCTSIZE;
    return FALSE;
  }
  if (!ofn->lpstrFile || ofn->nMaxFile == 0) {
    tExtendedError = CDERR_INITIALIZATION;
    return FALSE;
  }
  Question question;
  question.kind = kind;
  question.owner = ofn->hwndOwner;
  question.caption =
      ofn->lpstrTitle ? ofn->lpstrTitle : (kind == Question::Kind::OpenFile ? "Open" : "Save As");
  question.style = ofn->Flags;
  question.filters = ParseFilters(ofn->lpstrFilter);
  question.filterIndex = int(ofn->nFilterIndex);
  question.file = std::string(ofn->lpstrFile, strnlen(ofn->lpstrFile, ofn->nMaxFile));
  question.initialDir = ofn->lpstrInitialDir ? ofn->lpstrInitialDir : "";
  auto answer = quellor::win32::AskAnswerHook(question);
  if (!answer || answer->file.empty()) return FALSE;  // cancelled
  std::string path = answer->file;
  if (kind == Question::Kind::SaveFile && ofn->lpstrDefExt && *ofn->lpstrDefExt &&
      ExtensionOffset(path) == 0) {
    path += std::string(".") + ofn->lpstrDefExt;
  }
  // A dialog that insists on an existing file would not have closed.
  if ((ofn->Flags & OFN_FILEMUSTEXIST) && !FileExists(path)) return FALSE;
  if (path.size() + 1 > ofn->nMaxFile) {
    // As Windows does: the first two bytes tell the size needed.
    if (ofn->nMaxFile >= 2) {
      WORD needed = WORD(std::min<size_t>(path.size() + 1, 0xFFFF));
      std::memcpy(ofn->lpstrFile, &needed, sizeof needed);
    }
    tExtendedError = FNERR_BUFFERTOOSMALL;
    return FALSE;
  }
  CopyOut(path, ofn->lpstrFile, ofn->nMaxFile);
  if (answer->filterIndex > 0 && size_t(answer->filterIndex) <= question.filters.size()) {
    ofn->nFilterIndex = DWORD(answer->filterIndex);
  }
  ofn->nFileOffset = WORD(NameOffset(path));
  ofn->nFileExtension = WORD(ExtensionOffset(path) ? ExtensionOffset(path) : path.size());
  if (ofn->lpstrFileTitle)
    CopyOut(path.substr(NameOffset(path)), ofn->lpstrFileTitle, ofn->nMaxFileTitle);
  return TRUE;
}

}  // namespace

extern "C" {

BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA lpofn) {
  return RunFileDialog(lpofn, Question::Kind::OpenFile);
}

BOOL WINAPI GetSaveFileNameA(LPOPENFILENAMEA lpofn) {
  return RunFileDialog(lpofn, Question::Kind::SaveFile);
}

DWORD WINAPI CommDlgExtendedError(void) {
  return tExtendedError;
}

}  // extern "C"
