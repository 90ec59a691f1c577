#pragma once

#include "support/KivArray.h"

#include <string>
#include <string_view>

// The lines of a text, one element per line. Text stored through Ins, Put, Set, Replace or a
// Current assignment loses every CR LF inside it, so one element stays one line; with the tab
// option on, tabs become blanks there and in text given to TextValue.
class KivStringList : public KivArray<std::string> {
public:
    KivStringList() = default;
    explicit KivStringList(std::string_view text, bool tabsToBlanks = false) { Init(text, tabsToBlanks); }

    using KivArray<std::string>::Init;
    void Init(std::string_view text, bool tabsToBlanks = false);

    // Every line followed by CR LF.
    std::string TextValue() const;
    // Replaces the lines by the text split at CR LF; the cursor goes to the first line.
    void TextValue(std::string_view text);

    size_t Count() const { return Len(); }
    bool TabsToBlanks() const { return m_tabsToBlanks; }

protected:
    std::string _Store(std::string value) const override;

private:
    bool m_tabsToBlanks = false;
};
