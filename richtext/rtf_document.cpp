#include "rtf_document.h"

std::wstring DocumentText(const RtfDocument& document) {
    std::wstring text;
    for (const RtfParagraph& paragraph : document.paragraphs) {
        for (const RtfRun& run : paragraph.runs) {
            switch (run.kind) {
            case RtfRunKind::Text:
                text += run.text;
                break;
            case RtfRunKind::Tab:
                text += L'\t';
                break;
            case RtfRunKind::LineBreak:
                text += L'\n';
                break;
            case RtfRunKind::Picture:
                text += L'\uFFFC';
                break;
            }
        }
        text += L'\n';
    }
    return text;
}
