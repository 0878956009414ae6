#include "program_resources.h"

#include "HelpDocumentFile.h"
#include "ProgramIconFile.h"
#include "SplashLogoFile.h"

#include <wx/imagjpeg.h>
#include <wx/mstream.h>

namespace {

// The toolkit knows only PNG pictures until told otherwise.
template <typename Handler> void AddHandler(wxBitmapType type) {
    if (wxImage::FindHandler(type) == nullptr)
        wxImage::AddHandler(new Handler);
}

} // namespace

wxIconBundle ProgramIcon() {
    AddHandler<wxICOHandler>(wxBITMAP_TYPE_ICO);
    const auto bytes = ProgramIconFile();
    wxMemoryInputStream stream(bytes.data(), bytes.size());
    return wxIconBundle(stream, wxBITMAP_TYPE_ICO);
}

wxImage SplashLogo() {
    AddHandler<wxJPEGHandler>(wxBITMAP_TYPE_JPEG);
    const auto bytes = SplashLogoFile();
    wxMemoryInputStream stream(bytes.data(), bytes.size());
    return wxImage(stream, wxBITMAP_TYPE_JPEG);
}

std::string_view HelpDocument() {
    const auto bytes = HelpDocumentFile();
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}
