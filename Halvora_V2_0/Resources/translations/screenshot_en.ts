<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>SCREENSHOT</source>
        <translation>SCREENSHOT</translation>
    </message>
    <message>
        <source>Intero</source>
        <translation>Full</translation>
    </message>
    <message>
        <source>Area</source>
        <translation>Area</translation>
    </message>
    <message>
        <source>Finestra</source>
        <translation>Window</translation>
    </message>
</context>
</TS>
