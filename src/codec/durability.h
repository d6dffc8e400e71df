#pragma once

namespace tessarin {

// When a save's file reaches the disk. A file that replaces another always does before it
// takes the other's place, so that a crash can never cost the old one. A new file in a batch
// of many may wait for one sync of the whole batch (SyncFileSystemOf): a sync per file costs
// more than writing it, and until the batch has said it is done, no one relies on its files.
enum class Durability { EachFile, NewFilesAtEnd };

}  // namespace tessarin
