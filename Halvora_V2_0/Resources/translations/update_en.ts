<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Impossibile controllare ora.</source>
        <translation>Unable to check right now.</translation>
    </message>
    <message>
        <source>Sei già aggiornato.</source>
        <translation>You are up to date.</translation>
    </message>
</context>
</TS>
