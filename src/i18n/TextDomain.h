#pragma once
// Message translation by text domain, through the C library's gettext.

namespace quorvel::i18n {

// Binds `domain` to the `locale` folder beside the program file when there is one, else to the
// system's catalogues, always as UTF-8. Call again after the folder changed; cheap otherwise.
void RegisterTextDomain(const char* domain);

// The catalogue's text for `text` in the user's language; `text` itself when there is none.
// The result is UTF-8 and lives as long as the program.
const char* Translate(const char* domain, const char* text);

// Marks a text for xgettext without translating it where it stands.
constexpr const char* NoopText(const char* text) {
    return text;
}

} // namespace quorvel::i18n
