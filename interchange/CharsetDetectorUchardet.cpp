// The detector is uchardet (Debian: libuchardet-dev), which keeps bounded state as it is fed.
#include "CharsetDetector.h"

#include <uchardet.h>

namespace orvalen {

struct CCharsetDetector::CState {
    uchardet_t detector = uchardet_new();
    bool ended = false;
    ~CState() {
        if (detector != nullptr)
            uchardet_delete(detector);
    }
};

CCharsetDetector::CCharsetDetector() : m_state(std::make_unique<CState>()) {}
CCharsetDetector::~CCharsetDetector() = default;

void CCharsetDetector::Feed(std::string_view bytes) {
    if (m_state->detector != nullptr && !m_state->ended && !bytes.empty())
        uchardet_handle_data(m_state->detector, bytes.data(), bytes.size());
}

std::string CCharsetDetector::Name() {
    if (m_state->detector == nullptr)
        return {};
    if (!m_state->ended) {
        uchardet_data_end(m_state->detector);
        m_state->ended = true;
    }
    const char* name = uchardet_get_charset(m_state->detector);
    return name != nullptr ? std::string(name) : std::string();
}

} // namespace orvalen
