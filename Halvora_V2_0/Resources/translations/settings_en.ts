<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Lingua del sistema</source>
        <translation>System language</translation>
    </message>
    <message>
        <source>inglese</source>
        <translation>English</translation>
    </message>
    <message>
        <source>italiano</source>
        <translation>Italian</translation>
    </message>
    <message>
        <source>spagnolo</source>
        <translation>Spanish</translation>
    </message>
</context>
</TS>
