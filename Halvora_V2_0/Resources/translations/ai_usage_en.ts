<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>%1 · sessione</source>
        <translation>%1 · session</translation>
    </message>
    <message>
        <source>%1 · settimana</source>
        <translation>%1 · week</translation>
    </message>
    <message>
        <source>%1 h</source>
        <translation>%1h</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1m</translation>
    </message>
    <message>
        <source>si azzera %1</source>
        <translation>resets %1</translation>
    </message>
    <message>
        <source>si azzera fra %1</source>
        <translation>resets in %1</translation>
    </message>
</context>
</TS>
