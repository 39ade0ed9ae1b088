#include "ContactsApp.h"

int main(int argc, char** argv) {
    orvalen::CContactsApp application(argc > 0 ? argv[0] : nullptr);
    return application.Run();
}
