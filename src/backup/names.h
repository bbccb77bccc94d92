#pragma once
// Path and name rules of backups: the pieces of a dropped path, the TimeText,
// and the names of backup folders and copies.
#include "backup/clock.h"
#include "backup/text.h"

namespace tamsel {

Text folder_with_separator(const Text& path);
Text folder_without_separator(const Text& path);
// These three trim the caller's variable in place and work on the trimmed text.
Text item_name(Text& path);
Text file_stem(Text& path);
Text file_extension(Text& path);
// True when the last element of the (trimmed) path holds a dot.
bool has_extension(Text& path);

Text time_text();                       // from local_now()
Text time_text(const LocalTime& time);  // formats one reading

// The custom folder followed by the separator, "allvorinbak" and the separator.
Text custom_base(const Text& custom_folder);

enum class Location { Default, Custom };
enum class Compression { PlainCopy, Archive };

// BackupFolder of an item; trims the item in place the way the backup run does
// (the folder part of a default BackupFolder sees the item untrimmed).
Text backup_folder(Text& item, bool item_is_folder, Location location, const Text& custom_base_path);
// BackupName of an item with the given TimeText.
Text backup_name(Text& item, bool item_is_folder, Compression compression, const Text& time);

// Makes the folder exist: one level is created when it is missing.
void ensure_folder(const Text& path);

}  // namespace tamsel
