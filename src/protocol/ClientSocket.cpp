#include "protocol/ClientSocket.h"

#include "protocol/Cp1251.h"

QString ClientSocket::GetText()
{
    return Cp1251::decode(GetData());
}
