#pragma once

// The windows' steps between the phone book and contacts files (vCard, CSV): reading a file
// into rows for an import dialog, each fitted as the phone book will store it, and the bytes
// an export writes. No window code: the Qt and the Windows window show what these return.

#include "BookEditor.h"
#include "CodePage.h"
#include "ContactForm.h"
#include "Interchange.h"
#include "ContactReader.h"
#include "Status.h"

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvalen {

// One contact of the file as the import would enter it.
struct ImportRow {
    ContactForm form; // code-page bytes, each text within its field's limit, no controls
    std::vector<InterchangeNote> notes; // what was cut or left out; none when nothing was
    bool known = false;                 // its name is already in the phone book
};

// A contacts file read for the import dialog.
struct ImportFile {
    std::vector<ImportRow> rows; // in file order; contacts without a name are not among them
    std::string encoding;        // the character set the file was read in
    bool guessed = false;        // nothing in the file named that set
    std::size_t first = 1;       // the file-order number of the first contact read
    std::size_t read = 0;        // contacts read from there, with a name or not
    std::size_t total = 0;       // contacts in the whole file
};

// Reads a vCard or CSV file (by its ending, else by its content) through ReadContacts: the
// range options.first, options.count, cancellable through options.cancel, its progress told to
// options.progress (from the reading thread). options.inputEncoding, when given, is the
// character set to read it in instead of what the file says or what is guessed; when nothing
// names one, the file is not UTF-8 and the detector's guess does not decode it, codePage is
// tried last. Pipes and devices are read too: the windows read on a thread they can cancel.
// Each contact is fitted as orvalen-tel fits it (FitContact), a character codePage lacks
// becoming '?', and its losses kept as notes.
CResult<ImportFile> ReadImportFile(const std::filesystem::path& path, const CCodePage& codePage,
                                   const CContactTable& book, ReadOptions options = {});

// Places the ticked rows need when entered in file order, as CBookEditor::Import counts them:
// a name already in the phone book, or entered earlier in the import, takes none unless it is
// added as well. ticked has one entry per row.
int PlacesNeeded(std::span<const ImportRow> rows, const std::vector<bool>& ticked,
                 RepeatedNames repeated);
// The rows ticked at first: in file order while they fit in room places under the default
// choice (names already there take none).
std::vector<bool> TicksWhileRoom(std::span<const ImportRow> rows, int room);

// The phone book in list order as the export writes it to path: CSV for a ".csv" ending,
// vCard 3.0 otherwise.
CResult<std::string> ExportBytes(const CBookEditor& editor, const CCodePage& codePage,
                                 const std::filesystem::path& path);

// The window's "Export contacts" command: the whole phone book, in list order, to a file the
// user chooses (default "Tel_Save.vcf"; filter in the view's form), written safely. An empty
// phone book and a failed save are reported through the view as the "Save" button reports them.
void ExportContacts(CBookEditor& editor, const CCodePage& codePage, std::string_view filter);

// Whether a file dropped on the window is a contacts file or a phone-book file, by its ending.
bool IsContactsFile(const std::filesystem::path& path);
bool IsPhoneBookFile(const std::filesystem::path& path);

} // namespace orvalen
