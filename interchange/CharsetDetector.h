#pragma once

// A statistical character-set detector fed as a file streams (uchardet where the system has
// it; the Windows builds have none and name nothing). Promises: memory does not grow with what
// it is fed; Name() is empty when it names nothing. Requires nothing of the bytes.

#include <memory>
#include <string>
#include <string_view>

namespace orvalen {

class CCharsetDetector {
public:
    CCharsetDetector();
    ~CCharsetDetector();
    CCharsetDetector(const CCharsetDetector&) = delete;
    CCharsetDetector& operator=(const CCharsetDetector&) = delete;

    void Feed(std::string_view bytes);
    // The detector's name for all that was fed, as it spells it.
    std::string Name();

private:
    struct CState;
    std::unique_ptr<CState> m_state;
};

} // namespace orvalen
