#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace tq::engine {

// Rebuilds the accepted input extensions: every catalogue extension whose
// family is one of InputExtensions, in catalogue order.
void BuildAcceptedExtensions();
bool IsAcceptedExtension(std::string_view extension);
// The folder part of `file` with every occurrence of `root` removed, when
// root occurs in it; "" otherwise or when either is "".
std::string RelativeSubfolder(const std::string& file, const std::string& root);
// Empties InputFiles and adds `path` when it is a candidate: its size is not
// 0 (a missing path passes, an empty file does not) and its lower-cased
// extension is accepted. Returns 1 when added.
int AddInputFile(const std::string& path);

// The GUI's part of AddInputFile (fill the input field, propose the output
// folder); called only outside console mode.
using InputFileAddedHook = std::function<void(const std::string& path)>;
void SetInputFileAddedHook(InputFileAddedHook hook);

// Text after the last "." of the file name; "" when there is none.
std::string FileExtension(std::string_view path);
// The folder part of a path, ending in "/"; "" for a bare name.
std::string FolderPart(std::string_view path);

}  // namespace tq::engine
