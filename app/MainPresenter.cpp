#include "MainPresenter.h"

#include "DeviceBookFile.h"
#include "ImportModel.h"
#include "PathText.h"
#include "TextReport.h"
#include "Texts.h"

namespace orvalen {

CResult<ImportFile> ReadForImport(const ImportRequest& request, const CReadCancel* cancel,
                                  std::function<void(std::uint64_t, std::uint64_t)> progress) {
    ReadOptions options;
    options.inputEncoding = request.encoding;
    options.first = request.first;
    options.cancel = cancel;
    options.progress = std::move(progress);
    return ReadImportFile(request.path, request.codePage, request.book, std::move(options));
}

CMainPresenter::CMainPresenter(CBookEditor& editor, IMainView& view, const CCodePage& codePage)
    : m_editor(editor), m_view(view), m_codePage(codePage) {}

void CMainPresenter::Run(Command command) {
    switch (command) {
    case Command::add:
        m_editor.Add();
        break;
    case Command::remove:
        m_editor.Delete();
        break;
    case Command::clear:
        m_editor.Clear();
        break;
    case Command::load:
        Load();
        break;
    case Command::save:
        CDeviceBookFile::Save(m_editor);
        break;
    case Command::saveAs:
        CTextReport::SaveAs(m_editor);
        break;
    case Command::showSelected:
        m_editor.ShowSelected();
        break;
    case Command::undo:
        m_editor.Undo();
        break;
    case Command::redo:
        m_editor.Redo();
        break;
    case Command::importContacts:
        ImportContacts();
        break;
    case Command::exportContacts:
        ExportContacts();
        break;
    case Command::about:
        m_view.ShowAbout(Tr(texts::kAboutCodePage, {m_codePage.Name()}));
        break;
    }
    ShowState();
}

BookState CMainPresenter::State() const {
    return {m_editor.IsModified(), m_editor.CanUndo(), m_editor.CanRedo()};
}

void CMainPresenter::ShowState() {
    m_view.ShowBookState(State());
}

bool CMainPresenter::MayClose() {
    return !m_editor.IsModified() || m_view.AskQuestion(Tr(texts::kCloseQuestion));
}

bool CMainPresenter::TakesFile(const std::filesystem::path& path) {
    return IsPhoneBookFile(path) || IsContactsFile(path);
}

void CMainPresenter::OpenFile(const std::filesystem::path& path) {
    // Any other name goes to Load: the desktop knows the player's file by its first bytes too.
    if (IsContactsFile(path))
        ImportFile(path);
    else
        LoadFile(path);
    ShowState();
}

void CMainPresenter::Load() {
    const auto path = m_view.ChooseFile(FileMode::open, CDeviceBookFile::kLoadName,
                                        CDeviceBookFile::kFilter, CDeviceBookFile::ChooserFolder());
    if (path)
        LoadFile(*path);
}

void CMainPresenter::LoadFile(const std::filesystem::path& path) {
    // A refused file asks nothing: the question comes only when a load would really happen.
    const CResult<TelFileImage> image = CDeviceBookFile::ReadImage(path);
    if (!image) {
        m_view.ShowMessage(CDeviceBookFile::LoadMessage(image.Status()), MessageIcon::error,
                           MessageButtons::ok, image.Status().Describe());
        return;
    }
    if (m_editor.IsModified() && !m_view.AskQuestion(Tr(texts::kLoadQuestion)))
        return;
    CDeviceBookFile::LoadImage(m_editor, *image);
}

std::string CMainPresenter::FilterBytes(std::string_view utf8) const {
    return m_codePage.FromUtf8Replacing(utf8).value_or(std::string(utf8));
}

void CMainPresenter::ImportContacts() {
    if (const auto path =
            m_view.ChooseFile(FileMode::open, {}, FilterBytes(Tr(texts::kImportFilter))))
        ImportFile(*path);
}

ImportRequest CMainPresenter::MakeImportRequest(const std::filesystem::path& path) const {
    return {path, m_codePage, m_editor.Table(), {}};
}

void CMainPresenter::ImportFile(const std::filesystem::path& path) {
    ContinueImport(path, m_view.ReadImport(MakeImportRequest(path)));
}

void CMainPresenter::ContinueImport(const std::filesystem::path& path,
                                    CResult<orvalen::ImportFile> file) {
    if (!file) {
        // The user who cancelled knows why nothing came.
        if (file.Status().Kind() != StatusKind::cancelled)
            m_view.ShowError(Tr(texts::kImportError), file.Status().Describe());
        return;
    }
    CImportModel::Reader reader;
    if (file->guessed || file->read < file->total) {
        reader = [this, path](const std::string& encoding, std::size_t first) {
            ImportRequest request = MakeImportRequest(path);
            request.encoding = encoding;
            request.first = first;
            return m_view.ReadImport(request);
        };
    }
    CImportModel model(m_codePage, m_editor.Table().Count(), std::move(*file), std::move(reader));
    if (!m_view.RunImportDialog(model))
        return;
    m_editor.Import(model.Chosen(), model.Repeated());
    ShowState();
}

void CMainPresenter::ExportContacts() {
    orvalen::ExportContacts(m_editor, m_codePage, FilterBytes(Tr(texts::kExportFilter)));
}

CommandLine ParseCommandLine(std::span<const std::string> arguments) {
    constexpr std::string_view kOption = "--encoding";
    CommandLine line;
    bool options = true;
    for (std::size_t i = 0; i < arguments.size() && line.error.empty(); ++i) {
        const std::string_view argument = arguments[i];
        const bool isOption = options && argument.size() > 1 && argument.front() == '-';
        if (isOption && argument == "--")
            options = false;
        else if (isOption && argument == kOption)
            line.encoding = i + 1 < arguments.size() ? arguments[++i] : std::string();
        else if (isOption && argument.starts_with(kOption) && argument.size() > kOption.size() &&
                 argument[kOption.size()] == '=')
            line.encoding = std::string(argument.substr(kOption.size() + 1));
        else if (isOption)
            line.error = Tr(texts::kUnknownOption, {argument});
        else if (line.file)
            line.error = Tr(texts::kSecondFile, {PathToUtf8(*line.file), argument});
        else
            line.file = PathFromUtf8(argument);
    }
    return line;
}

} // namespace orvalen
