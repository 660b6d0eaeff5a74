// The quiz file of the whole problem list.
#pragma once

#include <string>

// Writes `problemList` to the file at `path` (Shift-JIS bytes). False when
// the XML layer could not write it, or when a problem carries a kind tag
// of no kind, which the file has no element for; the file is then
// untouched.
bool saveProblemList(std::string path);

// The same file, made one top-level problem at a time, so that no element
// tree of the whole list is held beside the list: for sets that only pass
// through (zibconv import).
bool saveProblemListByProblem(std::string path);

// Replaces `problemList` with the problems of the file at `path`. False,
// with the list unchanged, when the file cannot be read as XML.
bool loadProblemList(std::string path);

// What the editor says when a load or a save fails, and zibconv with it.
inline constexpr const char* kLoadFailedMessage = "XMLファイル読み込みに失敗しました";
inline constexpr const char* kSaveFailedMessage = "XMLファイル保存に失敗しました";
