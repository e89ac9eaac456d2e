#include "shelver.h"

#include <optional>

#include "command_line.h"
#include "copy_files.h"
#include "destination.h"
#include "path_safety.h"

namespace placement {

PlacementResult RunPlacement(const PlacementSettings& settings, const std::string& argument_text,
                             UserMessages& messages) {
  std::optional<ShelverArguments> arguments = SplitArguments(argument_text);
  if (!arguments) return PlacementResult::kBadArguments;
  const std::string title_path = TitlePath(arguments->title_text);
  if (PlacementDisabled(settings)) return PlacementResult::kDisabled;
  // The title comes with the package; in a mirrored tree it must not climb out of the target.
  if (MirrorTree(settings) && !IsSafeTitlePath(title_path)) {
    messages.Show("The Mendlet title (" + arguments->title_text + ") names a directory outside the Mendlet "
                      "repository (" + settings.target_directory + "); no files were placed.",
                  "Kelvane AutoPlace", MB_ICONWARNING);
    return PlacementResult::kUnsafeTitle;
  }
  const std::string repository = Repository(settings);
  const std::string destination = Destination(settings, title_path);
  CreateDestination(repository, destination);
  switch (CopyListedFiles(arguments->vessik_directory, repository, destination, messages)) {
    case CopyResult::kNoFileList:
      return PlacementResult::kNoFileList;
    case CopyResult::kStopped:
      return PlacementResult::kStopped;
    case CopyResult::kCompleted:
      break;
  }
  return PlacementResult::kCompleted;
}

const char* PlacementResultName(PlacementResult result) {
  switch (result) {
    case PlacementResult::kDisabled:
      return "placement disabled by the target directory";
    case PlacementResult::kBadArguments:
      return "no \"<Vessik directory>|<title>\" argument";
    case PlacementResult::kUnsafeTitle:
      return "title refused";
    case PlacementResult::kNoFileList:
      return "no file list";
    case PlacementResult::kStopped:
      return "stopped at a file that could not be placed";
    case PlacementResult::kCompleted:
      return "placed";
  }
  return "unknown";
}

}  // namespace placement
