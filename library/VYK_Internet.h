#pragma once
// The computer's Internet connection, and the check of the maker's version list for a newer release.

namespace VYK_Internet {

bool Online();
bool ViaLAN();
bool ViaModem();
// Downloads the version list with the main window's second transfer control, compares this program's
// version with the list's and tells the user; offers the download page when the list's is newer.
void ChkNewVersion();

}  // namespace VYK_Internet
