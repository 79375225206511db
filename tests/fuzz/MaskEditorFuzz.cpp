// The picture-mask editor: a data type, a mask, a value text, then typed
// characters, editing commands and pastes, read back through every accessor.
#include "FuzzSupport.h"

#include "entcmd.h"
#include "entintl.h"
#include "entpfedit.h"
#include "entpfmodel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    static TEntIntlSup intl{USIntlProfile()};
    TEntPictureFieldModel model(intl);
    TEntPictureEditor editor(model);
    const std::string text = FuzzText(data + 2, size - 2);
    const size_t maskEnd = std::min<size_t>(text.find('\n'), text.size());
    FuzzRead([&] {
        model.SetDataType(TPictureDataType(data[0] % 17));
        if (maskEnd > 0) model.SetPictureMask(text.substr(0, std::min<size_t>(maskEnd, 300)));
        model.SetMaxLength(1 + data[1] % 255);
        model.PrepareWindow();
        model.InitBlankValue();
        editor.BeginEdit(false, false, false, true);
        for (size_t i = maskEnd + 1; i + 1 < text.size(); i += 2) {
            const uint8_t op = uint8_t(text[i]);
            const char arg = text[i + 1];
            if (op < 64)
                editor.TypeChar(arg);
            else if (op < 128)
                editor.Execute(uint16_t(uint8_t(arg) % ccNoCmd));
            else if (op < 160)
                editor.Paste(text.substr(i + 1, uint8_t(arg) % 32));
            else if (op < 192)
                editor.Click(int8_t(arg), op & 1);
            else
                model.SetAsString(text.substr(i + 1, 12));
        }
        model.Validate();
        editor.AlignOnExit();
        editor.EndEdit(false);
        if (model.GetDataType() >= pftLongInt && model.GetDataType() <= pftComp) model.GetAsFloat();
        model.GetAsString();
    });
    return 0;
}
